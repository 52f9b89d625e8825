#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/ZipWriter.h"
#include "furnishings/FlashMenuItem.h"
#include "furnishings/OtherIconItem.h"
#include "furnishings/PageCaptionUtility.h"
#include "furnishings/ToolbarIconSet.h"
#include "furnishings/ToolbarIconWorkspace.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

QString archiveOf(const QString &path, const QList<std::pair<QString, QByteArray>> &entries)
{
    ZipWriter zip(path);
    for (const auto &[name, data] : entries)
        zip.addData(name, data);
    return zip.commit() ? path : QString();
}

QByteArray pngBytes(const QString &folder, const QString &name, const QColor &color)
{
    const QString path = folder + "/" + name;
    TestPictures::writePicture(path, QSize(8, 8), color);
    return readFile(path);
}

int rowOf(const ToolbarIconWorkspace &icons, const QString &key)
{
    for (int row = 0; row < icons.count(); ++row)
        if (icons.keyOf(row) == key)
            return row;
    return -1;
}

} // namespace

// The furnishings kept as design settings: captions, the viewer menu, the extra icons
// list as its editor hands it back, and the toolbar icon workspace.
class FurnishingSettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void captionCountersStayInRange()
    {
        using namespace PageCaptionUtility;
        // Below the first page Roman numerals have nothing to show; a huge offset or
        // page number is held to the largest number, never wrapped to a negative one.
        QCOMPARE(captionsForPages("1-3:{r+-2}", 3), (QStringList{"", "", "i"}));
        QCOMPARE(captionsForPages("1-2:{N+2147483647}", 2), (QStringList{"2147483647", "2147483647"}));
        QCOMPARE(captionsForPages("1-2:99999999999999999999+", 2), (QStringList{"2147483647", "2147483647"}));
        QVERIFY(isExpressionForPageCaption("1-99999999999999:{N+}"));
        QCOMPARE(captionsForPages("2-99999999999999:{R+}", 3), (QStringList{"", "II", "III"}));
    }

    void captionSheetExpressions()
    {
        using namespace PageCaptionUtility;
        QCOMPARE(expressionFromFields("5", "5", "Cover"), QString("5:Cover"));
        QCOMPARE(expressionFromFields("1", "4", "{r+}"), QString("1-4:{r+}"));
        QCOMPARE(expressionFromFields("4", "1", "{r+}"), QString()); // falling range
        QCOMPARE(expressionFromFields("5", "", "Cover"), QString());
        QCOMPARE(expressionFromFields("1", "4", "Page"), QString()); // a range needs a counter
        QVERIFY(hasCounterMacro("Page {N+2} of {R+}"));
        QVERIFY(!hasCounterMacro("{x}"));
        QCOMPARE(invalidExpressions("1-4:{r+};x;\n5-10:{N+};"), QStringList{"x"});
    }

    void menuXmlRoundTrip()
    {
        FlashMenuItem page, link, share, odd;
        page.setCaption("Contents");
        page.setType(FlashMenuItem::GoToPage);
        page.setContent("12");
        link.setCaption("Write to us ]]> now & <then>");
        link.setType(FlashMenuItem::Url);
        link.setContent("mailto:ann@example.com?subject=a&b");
        share.setType(FlashMenuItem::CopyBookUrl);
        share.setContent("dropped");
        odd.setType(7);
        QList<FlashMenuItem> items{page, link, share, odd};
        QDomDocument document;
        FlashMenuItem::generateFlashMenuXmlBy(document, items);
        QCOMPARE(items.at(3).type(), qint64(0)); // written as "share", and changed so
        const QString xml = FlashMenuItem::menuXmlString(items);

        const QList<FlashMenuItem> back = FlashMenuItem::parseByXmlString(xml);
        QCOMPARE(back.size(), 4);
        QCOMPARE(back.at(0).type(), qint64(FlashMenuItem::GoToPage));
        QCOMPARE(back.at(0).content(), QString("12"));
        QCOMPARE(back.at(1).caption(), link.caption());
        QCOMPARE(back.at(1).content(), link.content());
        QCOMPARE(back.at(2).content(), QString()); // only pages and addresses are kept
        QVERIFY(FlashMenuItem::menuXmlString({}).isEmpty());
    }

    void menuValuesAsTheyArrive()
    {
        // Escaped markup is read; a well-formed value with escaped text inside keeps it.
        const QList<FlashMenuItem> escaped = FlashMenuItem::parseByXmlString(
            "&lt;menus&gt;&lt;menu&gt;&lt;title&gt;Shop&lt;/title&gt;&lt;action&gt;&lt;url&gt;https://a.example&lt;/url&gt;"
            "&lt;/action&gt;&lt;/menu&gt;&lt;/menus&gt;");
        QCOMPARE(escaped.size(), 1);
        QCOMPARE(escaped.first().content(), QString("https://a.example"));
        const QList<FlashMenuItem> text = FlashMenuItem::parseByXmlString(
            "<menus><menu><title>a &lt;b&gt; c</title><action>\n  <!-- next -->\n  <goToPage>3</goToPage></action></menu>"
            "<menu><title>x</title><action><nonsense/></action></menu></menus>");
        QCOMPARE(text.size(), 2);
        QCOMPARE(text.at(0).caption(), QString("a <b> c"));
        QCOMPARE(text.at(0).type(), qint64(FlashMenuItem::GoToPage)); // the first element, past blanks and comments
        QCOMPARE(text.at(0).content(), QString("3"));
        QCOMPARE(text.at(1).type(), qint64(FlashMenuItem::Share));
        QVERIFY(FlashMenuItem::parseByXmlString("<shareLinks><menu/></shareLinks>").isEmpty());
        QVERIFY(!FlashMenuItem::isMenusXml("<menus><menu>"));
    }

    void editedIconListsNeverRewriteTheirFile()
    {
        QTemporaryDir dir;
        OtherIconItem script;
        script.setType(OtherIconItem::CallScript);
        script.setCaption("Hello");
        script.setContent("var a = 1;\nalert(a);\r\n\tdone();");
        const QString given = dir.filePath("icons.xml");
        QVERIFY(writeFile(given));
        QCOMPARE(OtherIconItem::saveIconList({script}, given), given);
        QCOMPARE(OtherIconItem::iconListFromFile(given)->first().content(), script.content()); // line breaks kept
        // A file that cannot be written is not reported written because it is there.
        QVERIFY(OtherIconItem::saveIconList({script}, "/proc/self/status").isEmpty());
        const QByteArray before = readFile(given);
        const QString digest = AppUtility::MD5StringOfData(before);

        // Unchanged: the same file. Changed: a new file; the given one stays as it was.
        QCOMPARE(OtherIconItem::fileForEditedList({script}, given, digest), given);
        OtherIconItem page;
        page.setContent("3");
        const QString changed = OtherIconItem::fileForEditedList({script, page}, given, digest);
        QVERIFY(changed != given);
        QCOMPARE(QFileInfo(changed).fileName(), QString("iconsList"));
        QCOMPARE(OtherIconItem::iconListFromFile(changed)->size(), 2);
        QCOMPARE(readFile(given), before);
        // A file written in another layout comes back as a fresh copy even unchanged.
        QVERIFY(writeFile(dir.filePath("other.xml"), "<iconsList><item caption='Hello' type='2'/></iconsList>"));
        QVERIFY(OtherIconItem::fileForEditedList({script}, dir.filePath("other.xml"), "x") != dir.filePath("other.xml"));
    }

    void toolbarIconWorkspace()
    {
        QTemporaryDir dir;
        ToolbarIconWorkspace icons;
        QVERIFY(icons.count() >= 12);
        icons.setWorkSpace(dir.filePath("ws"));
        QDir().mkpath(icons.workSpace());
        const int next = rowOf(icons, "next");
        const int home = rowOf(icons, "first");
        QVERIFY(!icons.builtInPicture(next).isEmpty());
        QCOMPARE(icons.previewPicture(next), icons.builtInPicture(next));

        // A JPEG is stored converted, a PNG byte for byte; a text file is refused.
        QVERIFY(TestPictures::writePicture(dir.filePath("n.jpg"), QSize(20, 10), Qt::red));
        QVERIFY(icons.saveIconFile(next, dir.filePath("n.jpg")));
        QCOMPARE(TestPictures::pictureFormat(icons.iconsFolder() + "/next.png"), QByteArray("png"));
        const QByteArray png = pngBytes(dir.path(), "f.png", Qt::blue);
        QVERIFY(icons.saveIconFile(home, dir.filePath("f.png")));
        QCOMPARE(readFile(icons.iconsFolder() + "/first.png"), png);
        QVERIFY(writeFile(dir.filePath("fake.png"), "not a picture"));
        QVERIFY(!icons.saveIconFile(home, dir.filePath("fake.png")));
        // A picture that cannot be read whole leaves the replacement as it was.
        QVERIFY(writeFile(dir.filePath("cut.jpg"), QByteArray("\xFF\xD8\xFF\xE0", 4) + "cut short"));
        QVERIFY(!icons.saveIconFile(home, dir.filePath("cut.jpg")));
        QCOMPARE(readFile(icons.iconsFolder() + "/first.png"), png);

        // An archive's picture keeps its name; files naming no button, and files that
        // are no pictures, are left out.
        const QByteArray last = pngBytes(dir.path(), "l.png", Qt::green);
        archiveOf(dir.filePath("set.zip"), {{"LAST.PNG", last}, {"prev.png", "text"}, {"readme.png", last}});
        QVERIFY(icons.loadZipResource(dir.filePath("set.zip")));
        QCOMPARE(icons.customPicture(rowOf(icons, "last")), icons.iconsFolder() + "/LAST.PNG");
        QVERIFY(icons.customPicture(rowOf(icons, "prev")).isEmpty());
        QVERIFY(!QFileInfo::exists(icons.iconsFolder() + "/readme.png"));

        // An archive reaching out of its folder is refused whole: nothing changes.
        const auto before = folderContents(dir.path());
        archiveOf(dir.filePath("evil.zip"), {{"zoom.png", last}, {"../../escaped.png", last}});
        QString reason;
        QVERIFY(!icons.loadZipResource(dir.filePath("evil.zip"), &reason));
        QVERIFY(!reason.isEmpty());
        auto after = folderContents(dir.path());
        after.remove("evil.zip");
        QCOMPARE(after, before);

        // Back to default: every copy named by the key goes when the archive is made,
        // whatever its letter case, so no old picture stands in for the icon.
        QVERIFY(writeFile(icons.iconsFolder() + "/Next.PNG", png));
        icons.setDefault(next);
        const QString earlier = icons.zipIcons();
        const QString archive = icons.zipIcons();
        QVERIFY(QFileInfo(archive).isFile());
        // The archives of earlier runs go; the user's own files there stay.
        QVERIFY(writeFile(icons.workSpace() + "/mine.zip", "kept"));
        icons.removeArchivesExcept(archive);
        QVERIFY(!QFileInfo::exists(earlier));
        QVERIFY(QFileInfo(archive).isFile() && QFileInfo::exists(icons.workSpace() + "/mine.zip"));
        QStringList names = QDir(icons.iconsFolder()).entryList(QDir::Files);
        names.sort();
        QCOMPARE(names, (QStringList{"LAST.PNG", "first.png"}));
        QHash<QString, QString> pictures;
        QVERIFY(ToolbarIconSet::picturesInArchive(archive, dir.filePath("check"), ToolbarIconSet::iconKeys(), &pictures));
        QCOMPARE(QSet<QString>(pictures.keyBegin(), pictures.keyEnd()), (QSet<QString>{"last", "first"}));

        // The choices come back in the next window on the same workspace.
        QVERIFY(icons.saveConfig());
        ToolbarIconWorkspace again;
        again.setWorkSpace(icons.workSpace());
        again.loadConfig(QString());
        QCOMPARE(again.customPicture(rowOf(again, "first")), icons.iconsFolder() + "/first.png");
        QVERIFY(again.customPicture(rowOf(again, "next")).isEmpty());

        // Nothing replaced: no archive.
        icons.setDefault(home);
        icons.setDefault(rowOf(icons, "last"));
        QVERIFY(icons.zipIcons().isEmpty());
        QVERIFY(ToolbarIconSet::problemWithIconArchive(archive).isEmpty());
        QVERIFY(!ToolbarIconSet::problemWithIconArchive(dir.filePath("evil.zip")).isEmpty());
        QVERIFY(!ToolbarIconSet::problemWithIconArchive(dir.filePath("f.png")).isEmpty());
    }
};

QV_TEST(FurnishingSettingsTest)
#include "tst_furnishingsettings.moc"
