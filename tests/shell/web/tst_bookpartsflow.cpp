#include "MainWindowSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/PropertyList.h"
#include "furnishings/BookMarkTabs.h"
#include "output/narration/AssistantResourceItem.h"
#include "output/narration/GenerateAssistant.h"
#include "output/security/BookSecurity.h"
#include "pages/FlashPageSource.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "project/BookDocument.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"
#include "shell/BookSession.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/QuorvelAppDelegate.h"
#include "templates/FlashTemplate.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 90000;
const QString kPassword = QStringLiteral("open sesame");

// The parts a book gets from its editors, set here through their models: two
// bookmark tabs, a password, a sound for every spread, a scene with a picture layer
// and the whole PDF offered for download.
void furnish(BookDocument &document, const QString &work, const QString &pdf)
{
    BookParts &parts = document.parts();
    BookMarkTabs &tabs = *parts.bookmarkTabs();
    tabs.setTopOrSide("Top");
    tabs.setAlpha(0.8);
    tabs.TabItems() << BookMarkTabItem::tabItemWithCaption("Start", QColor(0xE5, 0x39, 0x35), 1)
                    << BookMarkTabItem::tabItemWithCaption("Third", QColor(0x43, 0xA0, 0x47), 3);

    parts.security()->setSecurityType(BookSecurity::SinglePassword);
    parts.security()->setPassword(kPassword);
    document.flashTmpl()->setPropertyValue("securitySetting", "Single Password");

    auto assistant = std::make_shared<GenerateAssistant>();
    assistant->setWorkFolder(work + "/narration");
    assistant->setTotalPage(document.pageSource()->pageCount());
    assistant->fitResourceListToPages();
    for (int i = 0; i < assistant->resourceList().size(); ++i) {
        const QString sound = assistant->newMp3FilePath();
        writeFile(sound, "ID3 spread " + QByteArray::number(i));
        assistant->resourceList()[i].setType(AssistantResourceItem::ImportedMp3);
        assistant->resourceList()[i].setImportmp3File(sound);
    }
    parts.setAssistant(assistant);

    QDir().mkpath(work + "/scene/Resources");
    writeFile(work + "/scene/Meta.xml", "<Scenes/>");
    TestPictures::writePicture(work + "/scene/Resources/tree.png", QSize(40, 60), QColor(0x2E, 0x7D, 0x32));
    BookScene scene;
    scene.name = "Garden";
    scene.folder = work + "/scene";
    scene.xmlFilePath = scene.folder + "/Meta.xml";
    scene.background = {{"Resources/tree.png", "Top Left"}};
    parts.setScene(scene);

    // The download workspace the import made, with the PDF copied in as the download
    // configuration leaves it.
    const QString downloads = parts.downloadWorkspace();
    QFile::copy(pdf, downloads + "/Almanac.pdf");
    PropertyList::writeFile(downloads + "/.cfg",
                            QVariantMap{{"hasPDF", 1}, {"fileType", 0}, {"file", pdf}, {"hasPages", 0}});
}

} // namespace

// A book whose parts are set, saved, reopened and published from the main window's
// Book menu: the published book carries every part. QUORVEL_BOOK_OUT names the folder
// to publish into (the browser test reads the book there); a temporary one otherwise.
class BookPartsFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void partsSurviveTheProjectAndReachThePublishedBook()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Almanac.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        furnish(app.session()->document(), dir.filePath("work"), pdf);
        app.session()->setModified(true);

        const QString project = dir.filePath("Almanac.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        // The protected project asks for its password.
        driver.answerModal([](WindowController *c) {
            control<QLineEdit>(c, "_txtPassword")->setText(kPassword);
            clickControl(c, "_btnOK");
        });
        QVERIFY(app.openProject(project));

        // The reopened book's protection is the one the publisher uses.
        const BookParts &parts = app.session()->document().parts();
        QCOMPARE(BookSecurity::shareInstance(), parts.security().get());
        QVERIFY(parts.scene().folder.startsWith(dir.filePath("Almanac.qvprj.data/")));

        QVERIFY(publishWebFolder(app, driver, out, "Almanac", "The Almanac", kLong));

        // On disk: the scene's picture; the pages, sounds and the download only encrypted
        // (the browser test reads the rest).
        QVERIFY(!QFileInfo::exists(out + "/files/narration/2_3.mp3"));
        QVERIFY(readText(out + "/files/narration.js").contains("files/secure/sound/1.js"));
        QCOMPARE(readFile(out + "/files/scenes/Resources/tree.png"), readFile(parts.scene().folder + "/Resources/tree.png"));
        QVERIFY(!QFileInfo::exists(out + "/files/page/1.jpg"));
        QVERIFY(!QFileInfo::exists(out + "/files/download/Almanac.pdf"));
        QVERIFY(!folderContents(out).values().contains(readFile(pdf)));
        QVERIFY(readText(out + "/files/config.js").contains("\"download\""));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(BookPartsFlowTest)
#include "tst_bookpartsflow.moc"
