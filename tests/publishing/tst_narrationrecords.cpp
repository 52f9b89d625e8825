#include "TestFiles.h"
#include "TestSupport.h"
#include "output/narration/GenerateAssistant.h"
#include "publishing/NarrationInput.h"
#include "publishing/NarrationRecords.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

QStringList titles(const NarrationRecords &records)
{
    QStringList list;
    for (int row = 0; row < records.count(); ++row)
        list << records.title(row);
    return list;
}

GenerateAssistant bookOf(int pages, const QString &folder = QString())
{
    GenerateAssistant assistant;
    if (!folder.isEmpty())
        assistant.setWorkFolder(folder);
    assistant.setTotalPage(pages);
    assistant.fitResourceListToPages();
    return assistant;
}

} // namespace

// What the narration windows make of typed numbers, and the rows of the recordings
// manager over the book's assistant.
class NarrationRecordsTest : public QObject
{
    Q_OBJECT
private slots:
    void typedNumbersAreFilteredAndPausesRoundedAndClamped()
    {
        using namespace NarrationInput;
        QCOMPARE(checkFloatInput("0.75"), QString("0.7")); // one digit after the point
        QCOMPARE(checkFloatInput("1.2."), QString("1.2"));
        QCOMPARE(checkFloatInput("12a"), QString("12"));
        QCOMPARE(checkStringFrom("1.2."), QString("1.2"));
        QCOMPARE(checkStringFrom("x"), QString());
        bool changed = false;
        QCOMPARE(clampedVolume("2", &changed), 1.0);
        QVERIFY(changed);
        QCOMPARE(clampedVolume("0.5", &changed), 0.5);
        QVERIFY(!changed);

        QCOMPARE(millisecondsFromSeconds("1.234"), 1234); // not 1233
        QCOMPARE(millisecondsFromSeconds("0.0005"), 1);
        QCOMPARE(millisecondsFromSeconds(""), 0);
        QCOMPARE(millisecondsFromSeconds("99999999999999999999"), kMaximumPause); // no overflow
        QCOMPARE(millisecondsFromSeconds("1e300"), kMaximumPause);
        QCOMPARE(secondsText(3000), QString("3.000"));
    }

    void rowsFollowTheSpreadsOfTheBook()
    {
        GenerateAssistant seven = bookOf(7);
        QCOMPARE(titles(NarrationRecords(seven)), (QStringList{"P1", "P2_3", "P4_5", "P6_7"}));
        GenerateAssistant six = bookOf(6);
        NarrationRecords records(six);
        QCOMPARE(titles(records), (QStringList{"P1", "P2_3", "P4_5", "P6"}));
        QVERIFY(!records.canAdd());
        QCOMPARE(records.insertRow(0), -1);

        // A row inserted at the top becomes P1 and moves the others one spread on.
        six.resourceList()[0].setImportmp3File("/cover.mp3");
        six.resourceList().removeLast();
        QVERIFY(records.canAdd());
        QCOMPARE(records.insertRow(0), 0);
        QVERIFY(six.resourceList().at(0).isEmpty());
        QCOMPARE(six.resourceList().at(1).importmp3File(), QString("/cover.mp3"));
        QCOMPARE(records.moveDown(1), 2);
        QCOMPARE(six.resourceList().at(2).importmp3File(), QString("/cover.mp3"));
        QCOMPARE(records.moveUp(0), -1);
        QCOMPARE(records.moveDown(3), -1);
        QCOMPARE(records.removeRow(3), 2);
        QCOMPARE(records.count(), 3);

        GenerateAssistant single = bookOf(1);
        NarrationRecords one(single);
        QVERIFY(!one.canRemove());
        QCOMPARE(one.removeRow(0), -1);
        QCOMPARE(single.resourceList().size(), 1);
    }

    void textsAreSavedWithTheirMarkAndReadWithout()
    {
        QTemporaryDir dir;
        GenerateAssistant assistant = bookOf(3, dir.filePath("work"));
        NarrationRecords records(assistant);
        QVERIFY(records.saveText(1, "Héllo"));
        const AssistantResourceItem item = assistant.resourceList().at(1);
        QVERIFY(item.lrcFile().startsWith(dir.filePath("work/")) && item.mp3File().startsWith(dir.filePath("work/")));
        QCOMPARE(readFile(item.lrcFile()), QByteArray("\xEF\xBB\xBFH\xC3\xA9llo"));
        // Read back as the text the user typed: an unchanged row is not "changed".
        QCOMPARE(records.savedText(1), QString("Héllo"));
        QCOMPARE(records.savedText(0), QString());

        // Emptying the text keeps an empty text file and removes the generated sound.
        writeFile(item.mp3File(), "ID3 generated");
        QVERIFY(records.saveText(1, ""));
        QCOMPARE(readFile(item.lrcFile()), QByteArray("\xEF\xBB\xBF"));
        QVERIFY(!QFileInfo::exists(item.mp3File()));
        QCOMPARE(assistant.resourceList().at(1).lrcFile(), item.lrcFile());
    }

    void importedSoundsAreCopiedIntoTheBookAndNonSoundsRefused()
    {
        QTemporaryDir dir;
        GenerateAssistant assistant = bookOf(3, dir.filePath("work"));
        NarrationRecords records(assistant);
        const QString sound = TestSupport::sourceDataPath("narration/tone.mp3");
        QVERIFY(!sound.isEmpty());
        QVERIFY(records.importSound(1, sound));
        const QString copy = assistant.resourceList().at(1).importmp3File();
        QVERIFY(copy.startsWith(dir.filePath("work/")));
        QCOMPARE(readFile(copy), readFile(sound));
        // A file already in the work folder is taken as it is.
        QVERIFY(records.importSound(0, copy));
        QCOMPARE(assistant.resourceList().at(0).importmp3File(), copy);

        QString error;
        writeFile(dir.filePath("fake.mp3"), "<html>not a sound</html>");
        QVERIFY(!records.importSound(1, dir.filePath("fake.mp3"), &error));
        QVERIFY(error.contains("not a sound"));
        QVERIFY(!records.importSound(1, dir.filePath("missing.mp3"), &error));
        QVERIFY(error.contains("does not exist"));
        QCOMPARE(assistant.resourceList().at(1).importmp3File(), copy);
        QCOMPARE(QDir(dir.filePath("work")).entryList(QDir::Files).size(), 1);
    }
};

QV_TEST(NarrationRecordsTest)
#include "tst_narrationrecords.moc"
