#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/ZipWriter.h"
#include "output/narration/AssistantItem.h"
#include "output/narration/BookNarrationWriter.h"
#include "output/narration/GenerateAssistant.h"
#include "output/narration/VoiceGenerate.h"
#include "platform/AudioFile.h"
#include "platform/SpeechEngine.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kWait = 60000;

VoiceAttributes english()
{
    VoiceAttributes voice = VoiceAttributes::initWithIdentifier("gmw/en");
    return voice.identifier().isEmpty() ? VoiceAttributes::availableVoices().value(0) : voice;
}

// Runs one generation of text into target to its end; returns the result.
int generate(const QString &text, const QString &target, VoiceGenerate *generator = nullptr,
             const VoiceAttributes &voice = english())
{
    VoiceGenerate own;
    VoiceGenerate &g = generator ? *generator : own;
    g.setVoiceEnginerInfo(voice);
    g.setStringToSpeech(text);
    g.setSaveToFile(target);
    g.speakToFile();
    g.waitForFinished(kWait);
    return g.result();
}

int runAudioTool(const QString &argument, QByteArray *out = nullptr)
{
    QProcess tool;
    tool.start(VoiceGenerate::audioToolPath(), {argument});
    tool.waitForFinished(kWait);
    if (out)
        *out = tool.readAllStandardOutput() + tool.readAllStandardError();
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

} // namespace

// Speech into MP3 files: the engine, the helper "audiotool" and the background
// generation the recordings manager polls.
class NarrationSpeechTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(SpeechEngine::shared().isAvailable(), qPrintable(SpeechEngine::shared().errorString()));
        QVERIFY2(QFileInfo(VoiceGenerate::audioToolPath()).isExecutable(), "audiotool is built beside the tests");
    }

    void voicesCarryTheirAttributes()
    {
        const QList<VoiceAttributes> voices = VoiceAttributes::availableVoices();
        QVERIFY(voices.size() > 10);
        QCOMPARE(english().locale().left(2), QString("en"));
        QCOMPARE(VoiceAttributes::localeFromLanguage("en-gb"), QString("en_GB"));
        QVERIFY(VoiceAttributes::initWithIdentifier("no/such/voice").identifier().isEmpty());
    }

    void textBecomesAnMp3WhoseLengthFollowsTheRate()
    {
        QTemporaryDir dir;
        const QString text = "Once upon a time there was a small fox who read every book in the forest.";
        const QString slow = dir.filePath("spread/slow.mp3"), fast = dir.filePath("spread/fast.mp3");
        VoiceGenerate generator;
        QCOMPARE(generate(text, slow, &generator), int(VoiceGenerate::Finished));
        QVERIFY(generator.isFinished() && !generator.hasFailed());
        const QByteArray mp3 = readFile(slow);
        QVERIFY(mp3.size() > 1000 && quint8(mp3[0]) == 0xFF && (quint8(mp3[1]) & 0xE0) == 0xE0); // MPEG frame sync
        const double slowSeconds = AudioFile::duration(slow);
        QVERIFY2(slowSeconds > 2.0 && slowSeconds < 15.0, qPrintable(QString::number(slowSeconds)));

        VoiceAttributes quick = english();
        quick.setRate(350);
        QCOMPARE(generate(text, fast, nullptr, quick), int(VoiceGenerate::Finished));
        QVERIFY(AudioFile::duration(fast) < slowSeconds * 0.75);
        // No temporary speech or partial file is left beside the sounds.
        QCOMPARE(QDir(dir.filePath("spread")).entryList(QDir::Files), (QStringList{"fast.mp3", "slow.mp3"}));
    }

    void markupInTheTextIsReadNotObeyed()
    {
        QTemporaryDir dir;
        // Obeyed, these would add a 30-second pause or switch to phoneme codes.
        const QString target = dir.filePath("markup.mp3");
        QCOMPARE(generate("<speak>Hi <break time=\"30s\"/> there [[h@l'oU]]</speak>", target), int(VoiceGenerate::Finished));
        QVERIFY(AudioFile::duration(target) < 15.0);
        const SpeechAudio plain = SpeechEngine::shared().synthesize("one two", "gmw/en", 175, 1.0);
        const SpeechAudio tagged = SpeechEngine::shared().synthesize("one <break time=\"20s\"/> two", "gmw/en", 175, 1.0);
        QVERIFY(plain.ok && tagged.ok);
        QVERIFY(tagged.seconds() < plain.seconds() + 5.0);
    }

    void nothingToSpeakAndFailuresAreReportedAndKeepTheOldSound()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("old.mp3");
        writeFile(target, "the old sound");
        VoiceGenerate empty;
        QCOMPARE(generate("   ", target, &empty), int(VoiceGenerate::NothingToSpeak));
        QVERIFY(empty.hasFailed());

        // Without the helper the conversion fails: an error, never "finished".
        QTemporaryDir noTools;
        qputenv("QUORVEL_BIN", QFile::encodeName(noTools.path()));
        VoiceGenerate broken;
        const int result = generate("This will not become an MP3.", target, &broken);
        qunsetenv("QUORVEL_BIN");
        QVERIFY(result & VoiceGenerate::ConversionFailed);
        QVERIFY(broken.hasFailed() && !broken.errorString().isEmpty());
        QCOMPARE(readFile(target), QByteArray("the old sound"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.mp3"});
    }

    void aStoppedGenerationLeavesTheOldSound()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("old.mp3");
        writeFile(target, "the old sound");
        QString longText;
        for (int i = 0; i < 200; ++i)
            longText += "This sentence is said again and again so that stopping comes first. ";
        VoiceGenerate generator;
        generator.setVoiceEnginerInfo(english());
        generator.setStringToSpeech(longText);
        generator.setSaveToFile(target);
        generator.speakToFile();
        QVERIFY(generator.isRunning());
        QTest::qWait(50);
        generator.stopSpeech();
        QVERIFY(generator.waitForFinished(2000)); // stops within a second or two
        QCOMPARE(generator.result(), int(VoiceGenerate::Stopped));
        QVERIFY(!generator.hasFailed());
        QCOMPARE(readFile(target), QByteArray("the old sound"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.mp3"});
    }

    void generationsSideBySideUseTheirOwnFiles()
    {
        QTemporaryDir dir;
        std::vector<std::unique_ptr<VoiceGenerate>> generators;
        for (int i = 0; i < 4; ++i) {
            auto g = std::make_unique<VoiceGenerate>();
            g->setVoiceEnginerInfo(english());
            g->setStringToSpeech(QString("Spread number %1 of the book.").arg(i));
            g->setSaveToFile(dir.filePath(QString("%1.mp3").arg(i)));
            g->speakToFile();
            generators.push_back(std::move(g));
        }
        for (auto &g : generators) {
            QVERIFY(g->waitForFinished(kWait));
            QCOMPARE(g->result(), int(VoiceGenerate::Finished));
            QVERIFY(AudioFile::duration(g->saveToFile()) > 0.5);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4);
    }

    void audioToolHonoursItsArgumentString()
    {
        QTemporaryDir dir;
        // Paths holding "|" and "=" travel escaped.
        const QString input = dir.filePath("in|put=1.wav"), output = dir.filePath("out|put=1.mp3");
        const SpeechAudio audio = SpeechEngine::shared().synthesize("Testing the tool.", "gmw/en", 175, 1.0);
        QVERIFY(AudioFile::writeSamples(input, audio.samples, audio.sampleRate));
        QByteArray said;
        QCOMPARE(runAudioTool(VoiceGenerate::audioToolArgument(input, output), &said), 0);
        QVERIFY2(said.isEmpty(), said.constData()); // --silent
        QVERIFY(std::abs(AudioFile::duration(output) - audio.seconds()) < 0.2);
        // Constant bit rate 128: the size follows the length.
        const double kbps = QFileInfo(output).size() * 8.0 / 1000.0 / AudioFile::duration(output);
        QVERIFY2(kbps > 110 && kbps < 145, qPrintable(QString::number(kbps)));

        // Refused: an unknown item, an unreadable input; nothing is written then.
        const QString other = dir.filePath("other.mp3");
        QCOMPARE(runAudioTool("--fast|i=" + input + "|o=" + other), 1);
        writeFile(dir.filePath("noise.wav"), "not a sound");
        QCOMPARE(runAudioTool("--alt-preset|cbr|128|i=" + dir.filePath("noise.wav") + "|o=" + other), 2);
        QVERIFY(!QFileInfo::exists(other) && !QFileInfo::exists(other + ".part"));
    }

    void assistantPackagesTravelAndStayInTheirFolder()
    {
        QTemporaryDir dir;
        GenerateAssistant assistant;
        assistant.setWorkFolder(dir.filePath("book"));
        assistant.setTotalPage(4);
        assistant.fitResourceListToPages();
        assistant.setAssistantFilePath("/somewhere/Owl.png");
        const QString lrc = assistant.newLrcFilePath();
        writeFile(lrc, "\xEF\xBB\xBFHello");
        assistant.resourceList()[1].setLrcFile(lrc);
        assistant.resourceList()[1].setType(AssistantResourceItem::ImportedMp3);
        assistant.resourceList()[1].setImportmp3File(fileWithSound(dir.filePath("book/x.mp3")));
        QVERIFY(assistant.writePackage(dir.filePath("export.zap")));

        QString error;
        const auto read = GenerateAssistant::readPackage(dir.filePath("export.zap"), dir.filePath("in"), &error);
        QVERIFY2(read, qPrintable(error));
        QCOMPARE(read->workFolder(), dir.filePath("in"));
        QCOMPARE(read->assistantFilePath(), QString("Owl.png"));
        QCOMPARE(readFile(read->resourceList().at(1).lrcFile()), readFile(lrc));
        QCOMPARE(readFile(read->resourceList().at(1).importmp3File()), readFile(dir.filePath("book/x.mp3")));

        // A package whose configuration names files outside it: those paths are dropped.
        writeFile(dir.filePath("secret.txt"), "secret");
        ZipWriter zip(dir.filePath("evil.zap"));
        zip.addData("Config.xml", "<Assistant totalPage=\"2\"><Resource type=\"1\" lrcFile=\"../secret.txt\" "
                                  "importmp3File=\"/etc/passwd\"/></Assistant>");
        QVERIFY(zip.commit());
        const auto evil = GenerateAssistant::readPackage(dir.filePath("evil.zap"), dir.filePath("out"), &error);
        QVERIFY(evil);
        QVERIFY(evil->resourceList().at(0).lrcFile().isEmpty());
        QVERIFY(evil->resourceList().at(0).importmp3File().isEmpty());
        // One nested deeper than any reader allows is refused before it is parsed.
        ZipWriter deep(dir.filePath("deep.zap"));
        deep.addData("Config.xml", "<Assistant totalPage=\"2\">" + QByteArray("<x>").repeated(300)
                                       + QByteArray("</x>").repeated(300) + "</Assistant>");
        QVERIFY(deep.commit());
        QVERIFY(!GenerateAssistant::readPackage(dir.filePath("deep.zap"), dir.filePath("deep"), &error));
        // Not a package at all.
        writeFile(dir.filePath("plain.zap"), "PK not really");
        QVERIFY(!GenerateAssistant::readPackage(dir.filePath("plain.zap"), dir.filePath("plain"), &error));
        QVERIFY(!error.isEmpty());
    }

    void onlyAnInstalledCharacterGoesIntoTheBook()
    {
        QTemporaryDir dir;
        GenerateAssistant assistant;
        assistant.setTotalPage(1);
        assistant.fitResourceListToPages();
        assistant.resourceList()[0].setType(AssistantResourceItem::ImportedMp3);
        assistant.resourceList()[0].setImportmp3File(TestSupport::sourceDataPath("narration/tone.mp3"));
        const QString owl = AssistantItem::applicationFolder() + "/Owl.png";
        QVERIFY(QFileInfo(owl).isFile());
        // A project naming a file elsewhere gets the installed character of that name...
        assistant.setAssistantFilePath("/elsewhere/Owl.png");
        QVERIFY(BookNarrationWriter(assistant).writeToBook(dir.filePath("a")));
        QCOMPARE(readFile(dir.filePath("a/files/narration/character.png")), readFile(owl));
        QVERIFY(readText(dir.filePath("a/files/narration.js")).contains("\"character\":\"files/narration/character.png\""));
        // ...and one naming no installed character gets none: no other file is copied.
        writeFile(dir.filePath("private.png"), "private");
        assistant.setAssistantFilePath(dir.filePath("private.png"));
        QVERIFY(BookNarrationWriter(assistant).writeToBook(dir.filePath("b")));
        QVERIFY(!QFileInfo::exists(dir.filePath("b/files/narration/character.png")));
        QVERIFY(!readText(dir.filePath("b/files/narration.js")).contains("character"));
    }

private:
    static QString fileWithSound(const QString &path)
    {
        const SpeechAudio audio = SpeechEngine::shared().synthesize("x", "gmw/en", 175, 1.0);
        AudioFile::writeSamples(path + ".wav", audio.samples, audio.sampleRate);
        QProcess::execute(VoiceGenerate::audioToolPath(), {VoiceGenerate::audioToolArgument(path + ".wav", path)});
        QFile::remove(path + ".wav");
        return path;
    }
};

QV_TEST(NarrationSpeechTest)
#include "tst_narrationspeech.moc"
