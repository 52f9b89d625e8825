#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/PropertyList.h"
#include "output/web/BookDataScript.h"
#include "output/narration/BookNarrationWriter.h"
#include "output/narration/GenerateAssistant.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

// Writes data to path; returns path.
QString fileWith(const QString &path, const QByteArray &data)
{
    writeFile(path, data);
    return path;
}

AssistantResourceItem soundItem(int type, const QString &sound)
{
    AssistantResourceItem item;
    item.setType(type);
    if (type == AssistantResourceItem::TextToSpeech)
        item.setMp3File(sound);
    else
        item.setImportmp3File(sound);
    return item;
}

} // namespace

class AssistantTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QFile::remove(AssistantSpeechItem::settingFile()); }

    void resourceListFitsThePageCount()
    {
        GenerateAssistant assistant;
        for (int i = 0; i < 6; ++i)
            assistant.resourceList() << soundItem(AssistantResourceItem::ImportedMp3, QString("/s/%1.mp3").arg(i));
        assistant.setTotalPage(7);
        assistant.fitResourceListToPages();
        QCOMPARE(assistant.resourceList().size(), 7 / 2 + 1);
        QCOMPARE(assistant.resourceList().last().importmp3File(), QString("/s/3.mp3"));

        assistant.setTotalPage(12);
        assistant.fitResourceListToPages();
        QCOMPARE(assistant.resourceList().size(), 7);
        QCOMPARE(assistant.resourceList().at(3).importmp3File(), QString("/s/3.mp3"));
        QVERIFY(assistant.resourceList().at(6).isEmpty());
        QCOMPARE(assistant.resourceList().at(6).type(), int(AssistantResourceItem::TextToSpeech));

        assistant.setTotalPage(0);
        assistant.fitResourceListToPages();
        QCOMPARE(assistant.resourceList().size(), 1);
    }

    void playOptionsRoundTrip()
    {
        const QString path = AssistantSpeechItem::settingFile();
        AssistantSpeechItem options;
        options.setDefaultPauseTimeWhenEmpty(1500);
        options.loadSettings(); // no file yet: the current values are kept and written
        QCOMPARE(options.defaultPauseTimeWhenEmpty(), 1500);
        QVERIFY(QFileInfo::exists(path));

        options.setPlayMode(AssistantSpeechItem::Manual);
        options.setDefaultPauseTimeWhenFinished(1233);
        QVERIFY(options.saveSettings());
        AssistantSpeechItem loaded;
        loaded.loadSettings();
        QCOMPARE(loaded, options);

        // Values that are missing or not numbers keep what the record holds.
        QVERIFY(PropertyList::writeFile(path, QVariantMap{{"mode", 0}, {"delay", "soon"}}));
        loaded.loadSettings();
        QCOMPARE(loaded.playMode(), int(AssistantSpeechItem::Automatic));
        QCOMPARE(loaded.defaultPauseTimeWhenFinished(), 1233);
        QCOMPARE(loaded.defaultPauseTimeWhenEmpty(), 1500);
    }

    void newFilePathsAreUniqueInTheWorkFolder()
    {
        QTemporaryDir dir;
        GenerateAssistant assistant;
        assistant.setWorkFolder(dir.filePath("work/assistant"));
        QSet<QString> seen;
        for (int i = 0; i < 50; ++i) {
            const QString lrc = assistant.newLrcFilePath();
            const QString mp3 = assistant.newMp3FilePath();
            QVERIFY(lrc.endsWith(".lrc") && mp3.endsWith(".mp3"));
            QCOMPARE(QFileInfo(lrc).absolutePath(), dir.filePath("work/assistant"));
            QVERIFY(!seen.contains(lrc) && !seen.contains(mp3));
            seen << lrc << mp3;
        }
        QVERIFY(QFileInfo(dir.filePath("work/assistant")).isDir());
    }

    void configAndPackageRoundTrip()
    {
        QTemporaryDir dir;
        const QString work = dir.filePath("work");
        GenerateAssistant assistant;
        assistant.setWorkFolder(work);
        assistant.setTotalPage(5);
        assistant.setAssistantFilePath(dir.filePath("characters/Owl.swf"));
        assistant.speechOptions().setPlayMode(AssistantSpeechItem::Manual);
        assistant.speechOptions().setDefaultPauseTimeWhenEmpty(500);
        assistant.fitResourceListToPages();
        AssistantResourceItem &first = assistant.resourceList()[0];
        first.setLrcFile(fileWith(assistant.newLrcFilePath(), "Once upon a time"));
        first.setMp3File(fileWith(assistant.newMp3FilePath(), "MP3-first"));
        assistant.resourceList()[2] =
            soundItem(AssistantResourceItem::ImportedMp3, fileWith(dir.filePath("elsewhere/song.mp3"), "MP3-song"));
        QVERIFY(assistant.saveAssistantConfig());

        QDomDocument config;
        QVERIFY(bool(config.setContent(readFile(assistant.configFilePath()))));
        QVERIFY2(!readFile(assistant.configFilePath()).contains(work.toUtf8()), "work files are named relatively");
        const GenerateAssistant read = GenerateAssistant::fromXmlElement(config.documentElement(), work);
        QCOMPARE(read.totalPage(), 5);
        QCOMPARE(read.resourceList(), assistant.resourceList());
        QCOMPARE(read.speechOptions(), assistant.speechOptions());
        QCOMPARE(read.assistantFilePath(), assistant.assistantFilePath());

        // The package saved beside it carries every file.
        const auto unpacked = GenerateAssistant::readPackage(assistant.packageFilePath(), dir.filePath("unpacked"));
        QVERIFY(unpacked);
        QCOMPARE(readFile(unpacked->resourceList().at(0).lrcFile()), QByteArray("Once upon a time"));
        QCOMPARE(readFile(unpacked->resourceList().at(0).mp3File()), QByteArray("MP3-first"));
        QCOMPARE(readFile(unpacked->resourceList().at(2).importmp3File()), QByteArray("MP3-song"));
        QVERIFY(unpacked->resourceList().at(1).isEmpty());
    }

    void narrationGoesIntoTheBook()
    {
        QTemporaryDir dir;
        const QString book = dir.filePath("book");
        QDir().mkpath(book + "/mobile/files");
        GenerateAssistant assistant;
        assistant.setTotalPage(5);
        assistant.fitResourceListToPages();
        assistant.speechOptions().setDefaultPauseTimeWhenFinished(250);
        assistant.resourceList()[0] = soundItem(0, fileWith(dir.filePath("a.mp3"), "first spread"));
        assistant.resourceList()[1] = soundItem(1, dir.filePath("missing.mp3"));
        assistant.resourceList()[2] = soundItem(1, fileWith(dir.filePath("b.mp3"), "last spread"));
        // A generated sound left over from before a switch to an imported one is ignored.
        assistant.resourceList()[2].setMp3File(fileWith(dir.filePath("old.mp3"), "old"));
        // A sound that is a link out of its folder is left out.
        QVERIFY(QDir().mkpath(dir.filePath("sounds")));
        QVERIFY(QFile::link(fileWith(dir.filePath("id_rsa"), "PRIVATE KEY"), dir.filePath("sounds/key.mp3")));
        assistant.resourceList()[1] = soundItem(1, dir.filePath("sounds/key.mp3"));

        BookNarrationWriter writer(assistant);
        QVERIFY2(writer.writeToBook(book), qPrintable(writer.errorString()));
        QCOMPARE(writer.soundCount(), 2);
        QCOMPARE(readFile(book + "/files/narration/1.mp3"), QByteArray("first spread"));
        QCOMPARE(readFile(book + "/files/narration/4_5.mp3"), QByteArray("last spread"));
        QVERIFY(!QFile::exists(book + "/files/narration/2_3.mp3"));

        const auto script = BookDataScript::read(book + "/files/narration.js", "bookNarration");
        QVERIFY(script);
        const QJsonObject expected{
            {"mode", 0}, {"delay", 250}, {"mute", 3000},
            {"spreads", QJsonArray{QJsonObject{{"pages", QJsonArray{1}}, {"sound", "files/narration/1.mp3"}},
                                   QJsonObject{{"pages", QJsonArray{2, 3}}, {"sound", ""}},
                                   QJsonObject{{"pages", QJsonArray{4, 5}}, {"sound", "files/narration/4_5.mp3"}}}}};
        QCOMPARE(script->value().toObject(), expected);
    }
};

QV_TEST(AssistantTest)
#include "tst_assistant.moc"
