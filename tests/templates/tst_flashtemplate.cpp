#include "TestFiles.h"
#include "TestSupport.h"
#include "templates/FlashTemplate.h"

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

// A small template of our own, for cases the bundled ones do not cover.
const QByteArray SmallTemplate = R"(<?xml version="1.0" encoding="UTF-8"?>
<template name="Small" platform="desktop">
  <category key="main" caption="Main">
    <property key="title" kind="text" default="Hello"/>
    <property key="shadow" kind="boolean" default="Yes"/>
    <property key="tint" kind="color" default="0x112233"/>
    <property key="picture" kind="file" default="STYLE_RESOURCE:pics/a.png"/>
  </category>
</template>
)";

} // namespace

class FlashTemplateTest : public QObject
{
    Q_OBJECT
private slots:
    void bundledTemplatesCarryTheViewerSettings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("mobile");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("Aurora") << "Aurora" << false << QStringList();
        QTest::newRow("Metro") << "Metro" << true
                               << QStringList{"hardCover", "showZoomButton", "securitySetting", "flashMenu"};
    }

    void bundledTemplatesCarryTheViewerSettings()
    {
        QFETCH(QString, name);
        QFETCH(bool, mobile);
        QFETCH(QStringList, absent);

        FlashTemplate tmpl;
        QVERIFY2(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(name)), qPrintable(tmpl.errorString()));
        QCOMPARE(tmpl.isMobileTemplate(), mobile);
        // What the publishing code reads from every template.
        for (const char *key : {"pageWidth", "pageHeight", "backgroundColor", "backgroundImage", "iconColor",
                                "rightToLeft", "showShareButton", "showDownloadButton", "pageCaption", "language"})
            QVERIFY2(tmpl.hasProperty(key), key);
        for (const QString &key : absent)
            QVERIFY2(!tmpl.hasProperty(key), qPrintable(key));

        // The default share buttons: well-formed, with address placeholders and logos on disk.
        QDomDocument shares;
        QVERIFY(shares.setContent(tmpl.propertyValue("socialShareLinks")));
        const QDomNodeList buttons = shares.documentElement().elementsByTagName("shareLink");
        QVERIFY(buttons.size() >= 3);
        for (int i = 0; i < buttons.size(); ++i) {
            const QDomElement button = buttons.at(i).toElement();
            QVERIFY(!button.attribute("title").isEmpty());
            QVERIFY(button.attribute("link").contains("${url}"));
            QVERIFY2(QFile::exists(tmpl.resolveResourcePath(button.attribute("logo"))),
                     qPrintable(button.attribute("logo")));
        }

        QVERIFY(tmpl.styleNames().size() >= 2);
        for (const QString &style : tmpl.styleNames())
            QVERIFY(tmpl.applyStyle(style));
    }

    void stylesApplyOverTheDefaults()
    {
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        tmpl.setPropertyValue("iconColor", "0x123456");
        tmpl.setPropertyValue("flipDuration", "1200");

        QVERIFY(tmpl.applyStyle("Linen"));
        QCOMPARE(tmpl.currentStyleName(), QStringLiteral("Linen"));
        QCOMPARE(tmpl.propertyValue("backgroundColor"), QStringLiteral("0xEEE8DC"));
        QCOMPARE(tmpl.propertyValue("hardCover"), QStringLiteral("Yes"));
        QCOMPARE(tmpl.propertyValue("iconColor"), QStringLiteral("0xFFFFFF"));
        QCOMPARE(tmpl.propertyValue("flipDuration"), QStringLiteral("700")); // user's change gone
        QVERIFY(QFile::exists(tmpl.propertyFilePath("backgroundImage")));

        // Switching styles drops the previous style's values.
        QVERIFY(tmpl.applyStyle("Night"));
        QCOMPARE(tmpl.propertyValue("hardCover"), QStringLiteral("No"));
        QCOMPARE(tmpl.propertyValue("backgroundImage"), QString());

        const QString before = tmpl.settingsDigest();
        QVERIFY(!tmpl.applyStyle("NoSuchStyle"));
        QCOMPARE(tmpl.settingsDigest(), before);
        QCOMPARE(tmpl.currentStyleName(), QStringLiteral("Night"));
    }

    void valuesAreCheckedAgainstTheirKind()
    {
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        QVERIFY(tmpl.setPropertyValue("backgroundColor", "#a0b1c2"));
        QCOMPARE(tmpl.propertyValue("backgroundColor"), QStringLiteral("0xA0B1C2"));
        QVERIFY(!tmpl.setPropertyValue("backgroundColor", "red"));
        QVERIFY(tmpl.setPropertyValue("hardCover", "true"));
        QCOMPARE(tmpl.propertyValue("hardCover"), QStringLiteral("Yes"));
        QVERIFY(!tmpl.setPropertyValue("hardCover", "maybe"));
        QVERIFY(tmpl.setPropertyValue("flipDuration", " 450 "));
        QCOMPARE(tmpl.propertyValue("flipDuration"), QStringLiteral("450"));
        QVERIFY(!tmpl.setPropertyValue("flipDuration", "1,5"));
        QVERIFY(!tmpl.setPropertyValue("pageWidth", "10")); // below the template's minimum
        QVERIFY(tmpl.setPropertyValue("language", "deutsch"));
        QCOMPARE(tmpl.propertyValue("language"), QStringLiteral("Deutsch"));
        QVERIFY(!tmpl.setPropertyValue("language", "Klingon"));
        QVERIFY(!tmpl.setPropertyValue("noSuchKey", "x"));
        QVERIFY(!tmpl.setPropertyValue("bookCategory", "x"));
        QCOMPARE(tmpl.propertyValue("language"), QStringLiteral("Deutsch"));
    }

    void resourceValuesResolveInsideTheirFolders()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("tmpl/template.xml"), SmallTemplate);
        FlashTemplate tmpl;
        QVERIFY2(tmpl.loadTemplateXmlFile(dir.filePath("tmpl/template.xml")), qPrintable(tmpl.errorString()));

        const QString tmplFolder = QDir(dir.filePath("tmpl")).absolutePath();
        QCOMPARE(tmpl.propertyFilePath("picture"), tmplFolder + "/pics/a.png");
        QCOMPARE(tmpl.resolveResourcePath("STYLE_EXTERN:bg/wood.jpg"), QString()); // no extern folder yet
        tmpl.setExternResourcePath(dir.filePath("theme"));
        QCOMPARE(tmpl.resolveResourcePath("STYLE_EXTERN:bg/wood.jpg"),
                 QDir(dir.filePath("theme")).absolutePath() + "/bg/wood.jpg");
        QCOMPARE(tmpl.resolveResourcePath("/srv/pic.png"), QStringLiteral("/srv/pic.png"));
        QCOMPARE(tmpl.resolveResourcePath(QString()), QString());

        // A theme package must not reach files outside its own folder.
        QCOMPARE(tmpl.resolveResourcePath("STYLE_EXTERN:../tmpl/template.xml"), QString());
        QCOMPARE(tmpl.resolveResourcePath("STYLE_EXTERN:bg/../../secret.txt"), QString());
        QCOMPARE(tmpl.resolveResourcePath("STYLE_EXTERN:/etc/passwd"), QString());
        QCOMPARE(tmpl.resolveResourcePath("STYLE_RESOURCE:.."), QString());
        // Nor through a link in its folder.
        writeFile(dir.filePath("secret.png"), "private");
        QVERIFY(QDir().mkpath(dir.filePath("theme")));
        QVERIFY(QFile::link(dir.filePath("secret.png"), dir.filePath("theme/bg.png")));
        QCOMPARE(tmpl.resolveResourcePath("STYLE_EXTERN:bg.png"), QString());
        // Nor when the folder itself is a link.
        QVERIFY(QFile::link(dir.path(), dir.filePath("linked-theme")));
        tmpl.setExternResourcePath(dir.filePath("linked-theme"));
        QCOMPARE(tmpl.resolveResourcePath("STYLE_EXTERN:secret.png"), QString());
        tmpl.setExternResourcePath(dir.filePath("theme"));

        // Values read from a project: plain paths count only in the folders given.
        tmpl.setPlainPathFolders({dir.filePath("project")});
        QCOMPARE(tmpl.resolveResourcePath("/srv/pic.png"), QString());
        QCOMPARE(tmpl.resolveResourcePath(dir.filePath("project/pic.png")), dir.filePath("project/pic.png"));
        QCOMPARE(tmpl.resolveResourcePath(dir.filePath("project/../secret.png")), QString());
        QCOMPARE(tmpl.resolveResourcePath("project/pic.png"), QString()); // relative to nothing
        QVERIFY(tmpl.setPropertyValue("picture", "/srv/pic.png"));
        QCOMPARE(tmpl.unresolvedFileSettings(), QStringList{"picture"});
    }

    void settingsTextRoundTrip()
    {
        QTemporaryDir dir;
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        const QString menu = QStringLiteral("<menus>\r\n  <menu caption=\"a=b\" value=\"C:\\\\x\\n\"/>\n</menus>\n");
        const QString caption = QStringLiteral("i;ii;{N-2}=Seite Ä ☃ 😀\\");
        QVERIFY(tmpl.applyStyle("Night"));
        QVERIFY(tmpl.setPropertyValue("flashMenu", menu));
        QVERIFY(tmpl.setPropertyValue("pageCaption", caption));
        QVERIFY(tmpl.setPropertyValue("analyticsID", "=lead"));
        QVERIFY(tmpl.setPropertyValue("securitySetting", "<SecurityInfo><Security type=\"users\"/></SecurityInfo>"));

        const QString path = dir.filePath("tmplSetting.txt");
        QVERIFY(tmpl.saveSettingsToFile(path));
        const QByteArray written = readFile(path);
        QCOMPARE(written.count('\n'), tmpl.propertyKeys().size()); // one line per setting

        FlashTemplate other;
        QVERIFY(other.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        QVERIFY(other.loadSettingsFromFile(path));
        QCOMPARE(other.propertyValue("flashMenu"), menu);
        QCOMPARE(other.propertyValue("pageCaption"), caption);
        QCOMPARE(other.propertyValue("analyticsID"), QStringLiteral("=lead"));
        QCOMPARE(other.snapshot().values, tmpl.snapshot().values);
        QCOMPARE(other.settingsDigest(), tmpl.settingsDigest());
    }

    void settingsLoaderSkipsWhatItCannotUse()
    {
        QTemporaryDir dir;
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        tmpl.setPropertyValue("toolbarColor", "0x010203");

        // Byte-order mark, CR LF line ends, a comment, an unknown key, a bad value,
        // a line without "=".
        writeFile(dir.filePath("a.txt"), "\xEF\xBB\xBF# saved settings\r\nbackgroundColor=0x00FF00\r\n"
                                         "noSuchKey=1\r\nhardCover=sometimes\r\ngarbage line\r\n"
                                         "pageCaption=Gr\xC3\xBC\xC3\x9F" "e\r\n");
        QVERIFY(tmpl.loadSettingsFromFile(dir.filePath("a.txt")));
        QCOMPARE(tmpl.propertyValue("backgroundColor"), QStringLiteral("0x00FF00"));
        QCOMPARE(tmpl.propertyValue("hardCover"), QStringLiteral("No"));
        QCOMPARE(tmpl.propertyValue("pageCaption"), QStringLiteral("Grüße"));
        QCOMPARE(tmpl.propertyValue("toolbarColor"), QStringLiteral("0x010203")); // not named: kept
        QVERIFY(!tmpl.hasProperty("noSuchKey"));

        // An old file in Latin-1 still loads.
        writeFile(dir.filePath("b.txt"), "pageCaption=Gr\xFC\xDF" "e\n");
        QVERIFY(tmpl.loadSettingsFromFile(dir.filePath("b.txt")));
        QCOMPARE(tmpl.propertyValue("pageCaption"), QStringLiteral("Grüße"));

        const QString digest = tmpl.settingsDigest();
        QVERIFY(!tmpl.loadSettingsFromFile(dir.filePath("missing.txt")));
        QCOMPARE(tmpl.settingsDigest(), digest);
    }

    void digestChangesExactlyWhenAValueDoes()
    {
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        const QString initial = tmpl.settingsDigest();

        tmpl.setPropertyValue("backgroundColor", "#2e3b4e"); // same value, other spelling
        QCOMPARE(tmpl.settingsDigest(), initial);
        tmpl.setExternResourcePath("/somewhere");
        QCOMPARE(tmpl.settingsDigest(), initial);

        tmpl.setPropertyValue("pageCaption", "a");
        const QString changed = tmpl.settingsDigest();
        QVERIFY(changed != initial);
        // Moving text between neighbouring settings is a change too.
        tmpl.setPropertyValue("pageCaption", "");
        tmpl.setPropertyValue("showPageNumber", "Yes");
        tmpl.setPropertyValue("flashMenu", "a");
        QVERIFY(tmpl.settingsDigest() != initial && tmpl.settingsDigest() != changed);
        tmpl.setPropertyValue("flashMenu", "");
        QCOMPARE(tmpl.settingsDigest(), initial);
    }

    void snapshotRestoresEveryValue()
    {
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        tmpl.setPropertyValue("pageCaption", "x");
        const FlashTemplateSnapshot saved = tmpl.snapshot();
        const QString digest = tmpl.settingsDigest();

        QVERIFY(tmpl.applyStyle("Linen"));
        tmpl.setPropertyValue("language", "中文");
        tmpl.setPropertyValue("pageCaption", "y");
        QSignalSpy changes(&tmpl, &FlashTemplate::propertyValueChanged);
        tmpl.restoreSnapshot(saved);

        QCOMPARE(tmpl.snapshot(), saved);
        QCOMPARE(tmpl.settingsDigest(), digest);
        QCOMPARE(tmpl.currentStyleName(), QString());
        QVERIFY(changes.size() >= 3); // views learn of every restored value
    }

    void damagedTemplateKeepsThePreviousState_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        // A template of one category holding properties, then styles.
        const auto tmpl = [](const char *properties, const char *styles = "") {
            return "<template><category key=\"c\">" + QByteArray(properties) + "</category>" + styles + "</template>";
        };
        QTest::newRow("not xml") << QByteArray("<template><category key=\"a\">") << QString("damaged");
        QTest::newRow("other root") << QByteArray("<settings/>") << QString("damaged");
        QTest::newRow("unknown kind") << tmpl("<property key=\"a\" kind=\"slider\"/>") << QString("damaged");
        QTest::newRow("duplicate key") << tmpl("<property key=\"a\"/><property key=\"a\"/>") << QString("damaged");
        QTest::newRow("key with =") << tmpl("<property key=\"a=b\"/>") << QString("damaged");
        QTest::newRow("bad boolean default") << tmpl("<property key=\"a\" kind=\"boolean\" default=\"Y\"/>") << QString("damaged");
        QTest::newRow("choice without options") << tmpl("<property key=\"a\" kind=\"choice\"/>") << QString("damaged");
        QTest::newRow("style of unknown key")
            << tmpl("<property key=\"a\"/>", "<style name=\"s\"><set key=\"b\" value=\"1\"/></style>") << QString("damaged");
        QTest::newRow("style with bad colour")
            << tmpl("<property key=\"a\" kind=\"color\" default=\"0x000000\"/>",
                    "<style name=\"s\"><set key=\"a\" value=\"blue\"/></style>")
            << QString("damaged");
        // 20,000 nested categories: refused before they are parsed, never a crash.
        QTest::newRow("nested too deep") << QByteArray("<template>")
                                                + QByteArray("<category key=\"c\">").repeated(20000)
                                                + QByteArray("</category>").repeated(20000) + "</template>"
                                         << QString("nested deeper");
        QTest::newRow("missing file") << QByteArray() << QString("Cannot read");
    }

    void damagedTemplateKeepsThePreviousState()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath("bad/template.xml");
        if (!content.isEmpty())
            writeFile(path, content);

        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        tmpl.setPropertyValue("pageCaption", "kept");
        const FlashTemplateSnapshot before = tmpl.snapshot();
        QSignalSpy resets(&tmpl, &FlashTemplate::settingsTreeAboutToChange);

        QVERIFY(!tmpl.loadTemplateXmlFile(path));
        QVERIFY2(tmpl.errorString().contains(why), qPrintable(tmpl.errorString()));
        QCOMPARE(tmpl.tmplName(), QStringLiteral("Aurora"));
        QCOMPARE(tmpl.snapshot(), before);
        QCOMPARE(resets.size(), 0);
    }

    void analyticsIdCannotBreakOutOfTheScript()
    {
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        QCOMPARE(tmpl.analyticsScriptText(), QString()); // no id, no script

        tmpl.setPropertyValue("analyticsID", "x'); alert(1); </script><script>('");
        const QString script = tmpl.analyticsScriptText();
        QCOMPARE(script.count("</script>"), 1);
        QVERIFY(!script.contains("x');"));
        QVERIFY(script.contains("x\\'); alert(1); \\x3C/script\\x3E"));
    }
};

QV_TEST(FlashTemplateTest)
#include "tst_flashtemplate.moc"
