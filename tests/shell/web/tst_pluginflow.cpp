#include "EditorSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"
#include "furnishings/FlashTemlPreloaderItem.h"
#include "furnishings/PluginBundle.h"
#include "furnishings/ui/AddPreloader.h"
#include "furnishings/ui/FlashPreloaderDelegate.h"
#include "project/BookDocument.h"
#include "shell/BookSession.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 90000;
const QByteArray kSettings = "70.0\n10.0\n5.0\n60.0\n100.0\n0";

} // namespace

// A plug-in bundle chosen in the main window's plugin tab and set in the settings
// editor (cancelled once, then accepted), and a preloader of the user's added and
// chosen in the design settings; saved, reopened with the bundle's settings restored
// from the project, and published from the Book menu as a web folder. QUORVEL_BOOK_OUT
// names the folder to publish into (the browser test reads the book there).
class PluginFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void bundleAndPreloaderReachThePublishedBook()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Badge.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        // A bundle of the user's: a red movie, a green picture.
        const QString bundle = AppUtility::userAppResourcePath("Plugin") + "/Badge.bundle/Contents/Resources";
        QVERIFY(writeFile(bundle + "/html/Badge.swf", TestPictures::rectangleSwf(QColor(0xE5, 0x39, 0x35), 160, 120)));
        QVERIFY(writeFile(bundle + "/data/defaultsettings.dat", "0\n0\n0\n0\n50\n1"));
        QVERIFY(TestPictures::writePicture(bundle + "/data/shot.jpg", QSize(160, 120), QColor(0x43, 0xA0, 0x47)));
        // A preloader: a blue movie with a yellow picture.
        QVERIFY(writeFile(dir.filePath("art/Spin.swf"), TestPictures::rectangleSwf(QColor(0x1E, 0x63, 0xD0), 120, 120)));
        QVERIFY(TestPictures::writePicture(dir.filePath("art/spin.png"), QSize(120, 120), QColor(0xFD, 0xD8, 0x35)));
        QVERIFY(installDrivenPluginEditor());

        UiTestDriver driver;
        driver.setModalTimeout(120000);
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        BookParts &parts = app.session()->document().parts();
        PluginBundle badge = PluginBundle::bundleNamed("Badge");

        // Cancelled in the editor: the book keeps no plug-in, nothing is kept.
        qputenv("QUORVEL_TEST_EDITOR", "cancel");
        QVERIFY(chooseInPicker(app, "plugin", "Badge"));
        QTRY_VERIFY_WITH_TIMEOUT(!app.furnishingTabs()->isSettingsEditorRunning(), kLong);
        QVERIFY(!parts.hasPluginBundle());
        QCOMPARE(app.furnishingTabs()->picker("plugin")->selectedItemIndex(), 0);
        QVERIFY(!QFileInfo::exists(badge.saveFolder() + "/settings.dat"));
        // Accepted: the bundle is the book's, with the settings made in the editor.
        // Quitting is refused while the editor runs: it is not killed, its settings arrive.
        qputenv("QUORVEL_TEST_EDITOR", "accept 70 10 5 60 100 0");
        QVERIFY(chooseInPicker(app, "plugin", "Badge"));
        app.mainWindow()->close();
        QVERIFY(app.mainWindow()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!app.furnishingTabs()->isSettingsEditorRunning(), kLong);
        QCOMPARE(parts.pluginBundleName(), QString("Badge"));
        QCOMPARE(readFile(badge.saveFolder() + "/settings.dat"), kSettings);
        QVERIFY(app.mainWindow()->isEnabled());

        // The preloader, added and chosen in its window from the design settings.
        const QString movie = dir.filePath("art/Spin.swf"), picture = dir.filePath("art/spin.png");
        QVERIFY(editSetting(app, driver, "tmplPreloader",
                            [&](WindowController *c) { addAndChoosePreloader(c, movie, picture); }));
        QCOMPARE(app.session()->document().flashTmpl()->propertyValue("tmplPreloader"), QString("Spin"));

        const QString project = dir.filePath("Badge.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        // The settings go; the project brings them back.
        removeTree(PluginBundle::pluginSaveFolder());
        QVERIFY(app.openProject(project));
        QCOMPARE(app.session()->document().parts().pluginBundleName(), QString("Badge"));
        QCOMPARE(readFile(badge.saveFolder() + "/settings.dat"), kSettings);
        QCOMPARE(app.furnishingTabs()->picker("plugin")->imageList().value(app.furnishingTabs()->picker("plugin")->selectedItemIndex()).bgName,
                 QString("Badge"));

        QVERIFY(publishWebFolder(app, driver, out, "Badge", QString(), kLong));
        QCOMPARE(readFile(out + "/files/plugin/Badge1.swf"), readFile(bundle + "/html/Badge.swf"));
        QCOMPARE(readFile(out + "/files/book.swf"), readFile(movie));
        QVERIFY(readText(out + "/files/book.xml").contains("<PlugIn name=\"Badge\" alpha=\"1.000\" marginTop=\"10.0%\" marginLeft=\"70.0%\""));
        const QJsonObject config = bookConfigOf(out + "/files/config.js");
        const QJsonObject plugin = config.value("plugin").toObject();
        QCOMPARE(plugin.value("movie").toString(), QString("files/plugin/Badge1.swf"));
        QCOMPARE(readFile(out + "/" + plugin.value("shot").toString()), readFile(bundle + "/data/shot.jpg"));
        QCOMPARE(config.value("preloaderMovie").toString(), QString("files/book.swf"));
        QCOMPARE(readFile(out + "/" + config.value("preloaderImage").toString()),
                 readFile(FlashTemlPreloaderItem::userFolder() + "/Spin.png"));
        QCOMPARE(config.value("swfPlayer").toString(), QString("files/lib/ruffle/ruffle.js"));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(PluginFlowTest)
#include "tst_pluginflow.moc"
