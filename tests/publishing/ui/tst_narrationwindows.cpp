#include "TestSupport.h"
#include "output/narration/GenerateAssistant.h"
#include "output/narration/VoiceGenerate.h"
#include "platform/AudioFile.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/NarrationRecords.h"
#include "publishing/ui/EnginersInfoDelegate.h"
#include "publishing/ui/ManageRecordDelegate.h"
#include "publishing/ui/SpeechOptions.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kGenerate = 60000;

std::shared_ptr<GenerateAssistant> bookAssistant(const QString &folder, int pages)
{
    auto assistant = std::make_shared<GenerateAssistant>();
    assistant->setWorkFolder(folder);
    assistant->setTotalPage(pages);
    assistant->fitResourceListToPages();
    return assistant;
}

void chooseEnglish(ManageRecordDelegate &manager)
{
    QTRY_VERIFY(manager.ttsOptionsView().comEngines->count() == manager.voiceList().size());
    for (int i = 0; i < manager.voiceList().size(); ++i)
        if (manager.voiceList().at(i).identifier() == "gmw/en")
            manager.ttsOptionsView().comEngines->setCurrentIndex(i);
}

} // namespace

// The narration windows driven as a person would: the recordings manager, the voice
// chooser and the play options.
class NarrationWindowsTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QFile::remove(AssistantSpeechItem::settingFile()); }

    void oneGenerationAtATime()
    {
        QTemporaryDir dir;
        auto assistant = bookAssistant(dir.filePath("work"), 4);
        UiTestDriver driver;
        driver.setModalTimeout(3 * kGenerate);
        ManageRecordDelegate manager;
        manager.setGenerateAssistant(assistant);
        driver.answerModal([&](WindowController *) {
            chooseEnglish(manager);
            QString text;
            for (int i = 0; i < 300; ++i)
                text += "A long narration that takes its time to be spoken. ";
            manager.audioText()->setPlainText(text);
            manager.ttsOptionsView().btnGenerateVoice->click();
            VoiceGenerate *first = manager.voiceGenerator();
            QVERIFY(first && manager.isSpeeching());
            // Changing rows asks; Cancel keeps the generation and the row.
            driver.answerAlert("Cancel");
            manager.tableView()->selectRow(1);
            QTRY_COMPARE(driver.alerts().size(), 1);
            QCOMPARE(manager.selectedIndex(), qint64(0));
            QVERIFY(manager.isSpeeching() && first->isRunning());
            // Generating again asks too; OK stops the first before the second starts.
            manager.audioText()->setPlainText("Short.");
            driver.answerAlert("OK");
            manager.ttsOptionsView().btnGenerateVoice->click();
            QCOMPARE(driver.alerts().size(), 2);
            QVERIFY(manager.voiceGenerator() != first);
            QTRY_VERIFY_WITH_TIMEOUT(!manager.isSpeeching(), kGenerate);
            QCOMPARE(manager.voiceGenerator()->result(), int(VoiceGenerate::Finished));
            manager.btnApply()->click();
        });
        QCOMPARE(manager.runModal(), 1);
        QVERIFY(AudioFile::duration(assistant->resourceList().at(0).mp3File()) < 5.0);
        QCOMPARE(NarrationRecords::readText(assistant->resourceList().at(0).lrcFile()), QString("Short."));
        QVERIFY(driver.failures().isEmpty());
    }

    void playOptionsCancelLeavesTheBookAlone()
    {
        QTemporaryDir dir;
        auto assistant = bookAssistant(dir.filePath("work"), 4);
        assistant->speechOptions().setDefaultPauseTimeWhenFinished(2500);
        const AssistantSpeechItem before = assistant->speechOptions();
        UiTestDriver driver;
        ManageRecordDelegate manager;
        manager.setGenerateAssistant(assistant);
        driver.answerModal([&](WindowController *) {
            driver.answerModal([&](WindowController *c) {
                auto *options = qobject_cast<SpeechOptions *>(c);
                QCOMPARE(options->txtDelayTime()->text(), QString("2.500")); // the book's own options
                options->txtMuteTime()->clear();
                QTest::keyClicks(options->txtMuteTime(), "9x");
                QCOMPARE(options->txtMuteTime()->text(), QString("9"));
                options->btnManual()->click();
                QVERIFY(!options->txtDelayTime()->isEnabled() && !options->txtMuteTime()->isEnabled());
                options->btnCancel()->click();
            });
            manager.btnSpeechOption()->click();
            QCOMPARE(assistant->speechOptions(), before);
            QVERIFY(!QFileInfo::exists(AssistantSpeechItem::settingFile()));

            driver.answerModal([&](WindowController *c) {
                auto *options = qobject_cast<SpeechOptions *>(c);
                options->txtDelayTime()->clear();
                QTest::keyClicks(options->txtDelayTime(), "1.234");
                options->btnManual()->click();
                options->btnOK()->click();
            });
            manager.btnSpeechOption()->click();
            manager.performClose();
        });
        manager.runModal();
        QCOMPARE(assistant->speechOptions().playMode(), int(AssistantSpeechItem::Manual));
        QCOMPARE(assistant->speechOptions().defaultPauseTimeWhenFinished(), 1234);
        AssistantSpeechItem stored;
        stored.loadSettings();
        QCOMPARE(stored, assistant->speechOptions());
        QVERIFY(driver.failures().isEmpty());
    }

    // The voice a book starts with speaks the book's language, else English; never just
    // the first voice of the list.
    void theFirstVoiceSpeaksTheBooksLanguage()
    {
        QTemporaryDir dir;
        auto assistant = bookAssistant(dir.filePath("work"), 2);
        UiTestDriver driver;
        for (const auto &[language, code] : QList<QPair<QString, QString>>{{"Deutsch", "de"}, {"", "en"}, {"Klingon", "en"}}) {
            ManageRecordDelegate manager;
            manager.setGenerateAssistant(assistant);
            manager.setBookLanguage(language);
            driver.answerModal([&](WindowController *c) {
                QTRY_VERIFY(manager.ttsOptionsView().comEngines->count() == manager.voiceList().size());
                const VoiceAttributes &voice = manager.voiceList().at(manager.ttsOptionsView().comEngines->currentIndex());
                QVERIFY2(voice.locale().startsWith(code), qPrintable(language + ": " + voice.displayName()));
                c->close();
            });
            manager.runModal();
        }
        QVERIFY(driver.failures().isEmpty());
    }

    void voiceChooserSelectsTheShownValues()
    {
        QList<VoiceAttributes> voices = VoiceAttributes::availableVoices();
        QVERIFY(voices.size() >= 3);
        UiTestDriver driver;
        const auto prepare = [&voices](EnginersInfoDelegate &chooser) {
            chooser.setVoiceList(&voices);
            chooser.setSelectedIndex(0);
            chooser.setSpeechRate(voices.at(0).rate());
            chooser.setVolume(voices.at(0).volume());
        };
        {
            // Typing a rate for the first voice, then choosing the second: Select gives the
            // second voice its own values, not the first's.
            EnginersInfoDelegate chooser;
            prepare(chooser);
            driver.answerModal([&](WindowController *) {
                chooser.txtRate()->clear();
                QTest::keyClicks(chooser.txtRate(), "300.55");
                QCOMPARE(chooser.txtRate()->text(), QString("300.5"));
                chooser.txtVolume()->clear();
                QTest::keyClicks(chooser.txtVolume(), "2");
                QCOMPARE(chooser.txtVolume()->text(), QString("1.0"));
                chooser.voiceTableView()->selectRow(1);
                QCOMPARE(chooser.txtRate()->text(), QString("175.0"));
                chooser.window()->findChild<QPushButton *>("btnSelect")->click();
            });
            QCOMPARE(chooser.runModal(), 1);
            QCOMPARE(chooser.selectedIndex(), qint64(1));
            QCOMPARE(voices.at(0).rate(), 300.5);
            QCOMPARE(voices.at(1).rate(), 175.0);
            QCOMPARE(voices.at(1).volume(), 1.0);
        }
        {
            // Default, then Select, keeps the default values.
            EnginersInfoDelegate chooser;
            prepare(chooser);
            driver.answerModal([&](WindowController *) {
                chooser.window()->findChild<QPushButton *>("btnDefault")->click();
                QCOMPARE(chooser.txtRate()->text(), QString("175.0"));
                chooser.window()->findChild<QPushButton *>("btnSelect")->click();
            });
            QCOMPARE(chooser.runModal(), 1);
            QCOMPARE(voices.at(0).rate(), 175.0);
        }
        QVERIFY(driver.failures().isEmpty());
    }

};

QV_TEST(NarrationWindowsTest)
#include "tst_narrationwindows.moc"
