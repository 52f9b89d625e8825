#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"
#include "furnishings/PluginBundle.h"
#include "furnishings/PreloaderChoice.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QtTest>

using namespace TestFiles;

namespace {

// A bundle of the user's: its folder, default settings and movie.
QString writeBundle(const QString &name, const QByteArray &defaults = "0\n0\n0\n0\n100\n0")
{
    const QString folder = AppUtility::userAppResourcePath("Plugin") + "/" + name + ".bundle";
    writeFile(folder + "/Contents/Resources/data/defaultsettings.dat", defaults);
    writeFile(folder + "/Contents/Resources/html/" + name.toUtf8() + ".swf",
              TestPictures::rectangleSwf(Qt::red));
    writeFile(folder + "/Contents/Resources/html/notes.txt", "read me");
    return folder;
}

PluginBundle bundleAt(const QString &folder)
{
    PluginBundle bundle;
    bundle.loadBundleAtPath(folder);
    return bundle;
}

QDomElement element(QDomDocument &document, const QString &xml)
{
    document.setContent(xml);
    return document.documentElement();
}

// Puts a shell script where the settings editor is looked for, marked as the current
// version so it is not replaced by the real one. It gets the editor's arguments.
void installFakeEditor(const QByteArray &body)
{
    const QString folder = PluginBundle::settingsEditorFolder();
    makeTreeWritable(folder);
    removeTree(folder);
    QVERIFY(writeFile(PluginBundle::settingsEditorPath(), "#!/bin/sh\n" + body + "\n"));
    QVERIFY(writeFile(folder + "/.ver", PluginBundle::settingsEditorVersion().toUtf8()));
    QVERIFY(changeFilePermistion(PluginBundle::settingsEditorPath(), 0755));
}

// Runs the settings editor on bundle and waits for its answer (-2: none came);
// *atOnce: the call returned before the answer.
int runEditor(const PluginBundle &bundle, QString *error, bool *atOnce = nullptr)
{
    QObject context;
    std::optional<int> status;
    bundle.runSettingsEditor(&context, [&](int s, const QString &e) { status = s, *error = e; });
    if (atOnce)
        *atOnce = !status;
    return QTest::qWaitFor([&] { return status.has_value(); }, 30000) ? *status : -2;
}

} // namespace

// Plug-in bundles: the installed list, the settings a book gets and a project keeps,
// the files a book receives, the run of the settings editor; and the preloaders a user
// adds and removes.
class PluginBundlesTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        removeTree(AppUtility::userAppResourcePath("Plugin"));
        removeTree(FlashTemlPreloaderItem::userFolder());
    }

    void listsBundleFoldersOnlyAfterTheNoneBundle()
    {
        writeBundle("Clock");
        QVERIFY(writeFile(AppUtility::userAppResourcePath("Plugin") + "/Half.bundle/Contents/Resources/data/shot.jpg"));
        const QList<PluginBundle> list = PluginBundle::collectPluginList();
        QCOMPARE(list.first().bgName(), QString("none"));
        QStringList names;
        for (const PluginBundle &b : list)
            names << b.bgName();
        QCOMPARE(names, QStringList({"none", "Bubbles", "Glow", "Snowfall", "Clock"}));
        QCOMPARE(PluginBundle::pluginIndexIn(list, "Half"), -1);
        QVERIFY(PluginBundle::pluginPathIn(list, "Clock").endsWith("/Plugin/Clock.bundle"));
        QVERIFY(PluginBundle::bundleNamed("Half").isNone());
    }

    void theBookElementComesFromTheSavedSettingsElseTheDefaults()
    {
        const PluginBundle clock = bundleAt(writeBundle("Clock", "1\n2\n3\n4\n50\n0"));
        QCOMPARE(clock.pluginXMLElement(),
                 QString("<PlugIn name=\"Clock\" alpha=\"0.500\" marginTop=\"2.0%\" marginLeft=\"1.0%\" marginRight=\"3.0%\" "
                         "marginBottom=\"4.0%\" viewport=\"screen\" containerType=\"foreground\" setPluginSzie=\"true\">"
                         "<Swf>files/plugin/Clock1.swf</Swf></PlugIn>"));
        // Saved settings win, written with either line end.
        QVERIFY(writeFile(clock.saveFolder() + "/settings.dat", "5\r\n10\r\n5\r\n10\r\n80\r\n1"));
        QVERIFY(clock.pluginXMLElement().contains("alpha=\"0.800\" marginTop=\"10.0%\""));
        // Five lines are no settings: no element rather than a half-made one.
        QVERIFY(writeFile(clock.saveFolder() + "/settings.dat", "5\n10\n5\n10\n80"));
        QVERIFY(clock.pluginXMLElement().isEmpty());
        PluginBundle none;
        none.defaultSetting();
        QVERIFY(none.pluginXMLElement().isEmpty());
    }

    void aProjectElementRestoresTheSettingsAndTheBundlesFiles()
    {
        const PluginBundle clock = bundleAt(writeBundle("Clock"));
        QVERIFY(writeFile(clock.saveFolder() + "/settings.dat", "5.5\n10\n2.2\n0\n62.5\n1"));
        const QString written = clock.pluginXMLElement();
        removeTree(clock.saveFolder());

        QDomDocument document;
        QCOMPARE(PluginBundle::restoreSettingsFromPluginXML(element(document, written)), QString("Clock"));
        QCOMPARE(readText(clock.saveFolder() + "/settings.dat"), QString("5.5\n10.0\n2.2\n0.0\n62.5\n1"));
        // The movie and the other web files are there for the books, as after an edit.
        QCOMPARE(readFile(clock.saveFolder() + "/Clock1.swf"), TestPictures::rectangleSwf(Qt::red));
        QCOMPARE(readFile(clock.saveFolder() + "/notes.txt"), QByteArray("read me"));
        QVERIFY(!QFileInfo::exists(clock.saveFolder() + "/Clock.swf"));

        // Values as other programs write them: lower-case container, alpha out of range.
        QVERIFY(PluginBundle::restoreSettingsFromPluginXML(element(
                    document, "<PlugIn alpha=\"1.5\" containerType=\"background\" marginTop=\"7%\"><Swf>files/plugin/Clock1.swf</Swf></PlugIn>"))
                == "Clock");
        QCOMPARE(readText(clock.saveFolder() + "/settings.dat"), QString("0.0\n7.0\n0.0\n0.0\n100.0\n1"));
        QVERIFY(PluginBundle::restoreSettingsFromPluginXML(
                    element(document, "<PlugIn alpha=\"-0.4\"><Swf>files/plugin/Clock1.swf</Swf></PlugIn>"))
                == "Clock");
        QVERIFY(readText(clock.saveFolder() + "/settings.dat").endsWith("\n0.0\n0"));
    }

    void aProjectElementNamingNoInstalledBundleRestoresNothing()
    {
        writeBundle("Clock");
        QDomDocument document;
        // Stems too short to hold a name, a bundle that is not installed, the none
        // bundle, no movie at all, and a name that would climb out of the save folder.
        for (const QString &xml : {QString("<PlugIn><Swf>files/plugin/.swf</Swf></PlugIn>"),
                                   QString("<PlugIn><Swf>files/plugin/1.swf</Swf></PlugIn>"),
                                   QString("<PlugIn><Swf></Swf></PlugIn>"), QString("<PlugIn alpha=\"1\"/>"),
                                   QString("<PlugIn><Swf>files/plugin/Radio1.swf</Swf></PlugIn>"),
                                   QString("<PlugIn><Swf>files/plugin/none1.swf</Swf></PlugIn>"),
                                   QString("<PlugIn><Swf>files/plugin/..1.swf</Swf></PlugIn>")})
            QVERIFY2(PluginBundle::restoreSettingsFromPluginXML(element(document, xml)).isEmpty(), qPrintable(xml));
        QVERIFY(!QFileInfo::exists(PluginBundle::pluginSaveFolder() + "/Clock"));
    }

    void aBookReceivesTheSaveFolderWithoutTheEditorsFiles()
    {
        QTemporaryDir dir;
        const PluginBundle clock = bundleAt(writeBundle("Clock"));
        QVERIFY(!clock.outputResourcesToFolder(dir.filePath("plugin"))); // never edited: nothing
        QVERIFY(!QFileInfo::exists(dir.filePath("plugin")));
        QVERIFY(clock.saveSettings(PluginBundleSettings{}));
        for (const char *own : {"book.swf", "index.html", "js/run.js", ".hidden"})
            QVERIFY(writeFile(clock.saveFolder() + "/" + own, "editor"));
        QVERIFY(writeFile(dir.filePath("plugin/old.txt"), "from before"));
        QVERIFY(clock.outputResourcesToFolder(dir.filePath("plugin")));
        QCOMPARE(folderListing(dir.filePath("plugin")), QStringList({"Clock1.swf", "notes.txt"}));
    }

    void aBundleFolderLeadingOutThroughALinkGivesNothingAway()
    {
        QTemporaryDir elsewhere;
        QVERIFY(writeFile(elsewhere.filePath("private/id_rsa"), "PRIVATE KEY"));
        QVERIFY(writeFile(elsewhere.filePath("private/Clock.swf"), "FWS private"));
        QVERIFY(writeFile(elsewhere.filePath("Contents/Resources/data/defaultsettings.dat"), "0\n0\n0\n0\n100\n0"));
        QVERIFY(QFile::link(elsewhere.filePath("private"), elsewhere.filePath("Contents/Resources/html")));
        QDomDocument document;
        const QString restore = "<PlugIn><Swf>files/plugin/Clock1.swf</Swf></PlugIn>";

        // Its web files, or its whole Contents, are a link to a private folder: it is no
        // bundle, and a project naming it writes nothing into the save folder.
        const QString folder = writeBundle("Clock");
        const PluginBundle clock = bundleAt(folder);
        QVERIFY(removeTree(folder + "/Contents/Resources/html"));
        QVERIFY(QFile::link(elsewhere.filePath("private"), folder + "/Contents/Resources/html"));
        QCOMPARE(PluginBundle::pluginIndexIn(PluginBundle::collectPluginList(), "Clock"), -1);
        QVERIFY(PluginBundle::restoreSettingsFromPluginXML(element(document, restore)).isEmpty());
        // Saved all the same (a bundle chosen before the link came): its files stay out.
        QVERIFY(!clock.saveSettings(PluginBundleSettings{}));
        QVERIFY(!QFileInfo::exists(clock.saveFolder() + "/id_rsa"));
        QVERIFY(removeTree(folder + "/Contents"));
        QVERIFY(QFile::link(elsewhere.filePath("Contents"), folder + "/Contents"));
        QCOMPARE(PluginBundle::pluginIndexIn(PluginBundle::collectPluginList(), "Clock"), -1);
        QVERIFY(PluginBundle::restoreSettingsFromPluginXML(element(document, restore)).isEmpty());
        QVERIFY(!QFileInfo::exists(clock.saveFolder() + "/id_rsa"));

        // A save folder that is a link to a private folder gives a book nothing.
        QTemporaryDir book;
        QVERIFY(removeTree(clock.saveFolder()));
        QVERIFY(QFile::link(elsewhere.filePath("private"), clock.saveFolder()));
        QVERIFY(!clock.outputResourcesToFolder(book.filePath("files/plugin")));
        QVERIFY(folderListing(book.filePath("files/plugin")).isEmpty());
    }

    void theEditorRunsWithTheBundleAndOnlyANormalExitOfOneAccepts()
    {
        QTemporaryDir dir;
        const PluginBundle clock = bundleAt(writeBundle("Cl=ock|1"));
        QVERIFY(writeFile(clock.saveFolder() + "/Cl=ock|1.swf", "FWS preview"));
        // A chatty editor: far more output than a pipe holds, then its arguments.
        installFakeEditor("head -c 3000000 /dev/zero\nprintf '%s\\n' \"$@\" > " + dir.filePath("args").toUtf8()
                          + "\nsleep 0.3\nexit 1");
        QElapsedTimer took;
        took.start();
        QString error;
        bool atOnce = false;
        QCOMPARE(runEditor(clock, &error, &atOnce), 1);
        QVERIFY(took.elapsed() < 20000);
        QVERIFY2(atOnce, "the caller is not kept waiting for the editor");
        const QStringList args = readText(dir.filePath("args")).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(args, QStringList({"i=" + clock.bgPath().replace("|", ":7C:").replace("=", ":3D:"), "-AppleLanguages", "(en)"}));
        // The preview movie the editor shows is made from the bundle's own movie.
        QCOMPARE(readFile(clock.saveFolder() + "/book.swf"), QByteArray("FWS preview"));

        installFakeEditor("exit 0");
        QCOMPARE(runEditor(clock, &error), 0);
        installFakeEditor("kill -9 $$");
        QCOMPARE(runEditor(clock, &error), -1);
        QVERIFY(!error.isEmpty());
    }

    void aMissingEditorFailsWithAMessage()
    {
        const PluginBundle clock = bundleAt(writeBundle("Clock"));
        makeTreeWritable(PluginBundle::settingsEditorFolder());
        removeTree(PluginBundle::settingsEditorFolder());
        // No package to install it from either.
        QTemporaryDir empty;
        const QByteArray resources = qgetenv("QUORVEL_RESOURCES");
        qputenv("QUORVEL_RESOURCES", empty.path().toUtf8());
        QString error;
        const int status = runEditor(clock, &error);
        qputenv("QUORVEL_RESOURCES", resources);
        QCOMPARE(status, -1);
        QVERIFY(error.contains(PluginBundle::settingsEditorPath()));
        // The real one is installed from its package on first use.
        QVERIFY(PluginBundle::installSettingsEditor());
        QVERIFY(QFileInfo(PluginBundle::settingsEditorPath()).isExecutable());
        QVERIFY(!PluginBundle::installSettingsEditor());
    }

    void preloadersAreAddedAndRemovedByTheUser()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("Spin.swf"), TestPictures::rectangleSwf(Qt::blue)));
        QVERIFY(TestPictures::writePicture(dir.filePath("spin.jpg"), QSize(20, 20), Qt::blue));
        PreloaderChoice choice("Pulse");
        const int pulse = choice.selectedIndex();
        QCOMPARE(choice.items().at(pulse).prlName(), QString("Pulse"));
        QVERIFY(!choice.isRemovable(pulse));

        const int spin = choice.add(dir.filePath("Spin.swf"), dir.filePath("spin.jpg"));
        QVERIFY(spin >= 0);
        QCOMPARE(TestPictures::pictureFormat(FlashTemlPreloaderItem::userFolder() + "/Spin.png"), QByteArray("png"));
        QCOMPARE(choice.add(dir.filePath("Spin.swf"), dir.filePath("spin.jpg")), spin); // listed once
        QCOMPARE(PreloaderChoice("").items().size(), choice.items().size());

        // Refused: a name of the program's, a file that is no movie, no picture.
        QString error;
        QVERIFY(writeFile(dir.filePath("Default.swf"), TestPictures::rectangleSwf(Qt::blue)));
        QCOMPARE(choice.add(dir.filePath("Default.swf"), dir.filePath("spin.jpg"), &error), -1);
        QVERIFY(error.contains("Default"));
        QVERIFY(!QFileInfo::exists(FlashTemlPreloaderItem::userFolder() + "/Default.swf"));
        QVERIFY(writeFile(dir.filePath("Text.swf"), "just text"));
        QCOMPARE(choice.add(dir.filePath("Text.swf"), dir.filePath("spin.jpg"), &error), -1);
        QCOMPARE(choice.add(dir.filePath("Spin.swf"), dir.filePath("Text.swf"), &error), -1);

        // Removing the user's preloader before the chosen one keeps the chosen one.
        choice.setSelectedIndex(pulse);
        QVERIFY(writeFile(dir.filePath("A.swf"), TestPictures::rectangleSwf(Qt::green)));
        const int a = choice.add(dir.filePath("A.swf"), dir.filePath("spin.jpg"));
        choice.setSelectedIndex(a);
        QCOMPARE(choice.remove({spin, pulse}), 1); // the program's own stays
        QCOMPARE(choice.selectedName(), QString("A"));
        QVERIFY(!QFileInfo::exists(FlashTemlPreloaderItem::userFolder() + "/Spin.swf"));
        QVERIFY(!QFileInfo::exists(FlashTemlPreloaderItem::userFolder() + "/Spin.png"));
        QCOMPARE(choice.remove({choice.selectedIndex()}), 1);
        QCOMPARE(choice.selectedIndex(), 0);
    }

    void aChoiceWithNothingInstalledAnswersTheNameItBeganWith()
    {
        QTemporaryDir empty;
        const QByteArray resources = qgetenv("QUORVEL_RESOURCES");
        qputenv("QUORVEL_RESOURCES", empty.path().toUtf8());
        PreloaderChoice choice("Spin");
        qputenv("QUORVEL_RESOURCES", resources);
        QVERIFY(choice.items().isEmpty());
        QCOMPARE(choice.selectedName(), QString("Spin"));
        QCOMPARE(PreloaderChoice("Gone").selectedName(), PreloaderChoice("").items().first().prlName());
    }
};

QV_TEST(PluginBundlesTest)
#include "tst_pluginbundles.moc"
