#include "EditorSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "output/narration/GenerateAssistant.h"
#include "platform/AudioFile.h"
#include "platform/ui/PictureGridView.h"
#include "project/BookDocument.h"
#include "publishing/ui/AssistantSettingView.h"
#include "publishing/ui/ManageRecordDelegate.h"
#include "shell/BookSession.h"
#include "shell/ui/ImportPDFDialog.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 120000;

// Narrates the open book in the recordings manager: the cover spoken, the next spread
// an imported recording.
void narrate(ManageRecordDelegate &manager, UiTestDriver &driver, const QString &recording)
{
    QTRY_VERIFY(manager.ttsOptionsView().comEngines->count() == manager.voiceList().size());
    for (int i = 0; i < manager.voiceList().size(); ++i)
        if (manager.voiceList().at(i).identifier() == "gmw/en")
            manager.ttsOptionsView().comEngines->setCurrentIndex(i);
    manager.audioText()->setPlainText("This is the almanac. Turn the page to begin.");
    manager.ttsOptionsView().btnGenerateVoice->click();
    QTRY_VERIFY_WITH_TIMEOUT(!manager.isSpeeching(), kLong);
    importRecording(manager, driver, 1, recording);
    QTRY_VERIFY(manager.mp3OptionsView().play.playView->isVisible());
    manager.btnApply()->click();
}

} // namespace

// A book narrated from the main window: a character chosen in the "Assistant" tab, a
// spoken cover and an imported recording set in the recordings manager (Additions
// menu), saved, reopened and published from the Book menu. QUORVEL_BOOK_OUT names the
// folder to publish into (the browser test reads the book there).
class NarrationFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void narratedBookIsSavedReopenedAndPublished()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Almanac.pdf");
        const QString recording = TestSupport::sourceDataPath("narration/tone.mp3");
        QVERIFY(!recording.isEmpty());
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        UiTestDriver driver;
        driver.setModalTimeout(2 * kLong);
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        MainWindow *window = app.mainWindow();

        // The character: double-clicked in the Assistant tab.
        const int owl = chooseNarrator(app, "Owl");
        QVERIFY(owl > 0);
        auto *tab = window->tabPage("assistant")->findChild<AssistantSettingView *>();
        QVERIFY(tab && tab->isVisible());
        const std::shared_ptr<GenerateAssistant> made = app.session()->document().parts().assistant();
        QVERIFY(made && made->assistantFilePath().endsWith("/Owl.png"));
        QVERIFY(made->hasOwnWorkFolder());
        QVERIFY(app.session()->isModified());

        // The recordings, from the Additions menu.
        driver.answerModal([&](WindowController *c) { narrate(*qobject_cast<ManageRecordDelegate *>(c), driver, recording); });
        bookMenuItem(window, "manageRecords")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(driver.modalRuns().size() == 3 && !QApplication::activeModalWidget(), kLong);
        const QString spoken = made->resourceList().at(0).mp3File();
        QVERIFY(AudioFile::duration(spoken) > 1.0);
        const QByteArray spokenBytes = readFile(spoken);

        const QString project = dir.filePath("Almanac.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        QVERIFY(app.openProject(project));

        // Back from the project: the character, the texts and sounds in the project's folder.
        const std::shared_ptr<GenerateAssistant> read = app.session()->document().parts().assistant();
        QVERIFY(read);
        QCOMPARE(tab->selectedItemIndex(), owl);
        const QString data = dir.filePath("Almanac.qvprj.data/");
        QVERIFY(read->resourceList().at(0).mp3File().startsWith(data));
        QVERIFY(read->resourceList().at(1).importmp3File().startsWith(data));

        QVERIFY(publishWebFolder(app, driver, out, "Almanac", "The Almanac", kLong));

        QCOMPARE(readFile(out + "/files/narration/1.mp3"), spokenBytes);
        QCOMPARE(readFile(out + "/files/narration/2_3.mp3"), readFile(recording));
        QVERIFY(!QFileInfo::exists(out + "/files/narration/4.mp3"));
        QCOMPARE(readFile(out + "/files/narration/character.png"), readFile(made->assistantFilePath()));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(NarrationFlowTest)
#include "tst_narrationflow.moc"
