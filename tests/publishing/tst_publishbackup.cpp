#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "publishing/PublishBackup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestFiles;

namespace {

// An older book: a page, a folder of files with a hidden file, a read-only file, a
// read-only folder and a relative link.
void writeOlderBook(const QString &folder)
{
    writeFile(folder + "/book.html", "older page");
    writeFile(folder + "/files/page/1.jpg", "picture one");
    writeFile(folder + "/files/.hidden", "hidden");
    writeFile(folder + "/files/locked/readme.txt", "locked");
    QVERIFY(QFile::link("page/1.jpg", folder + "/files/cover.jpg"));
    QVERIFY(::chmod(QFile::encodeName(folder + "/files/page/1.jpg").constData(), 0444) == 0);
    QVERIFY(::chmod(QFile::encodeName(folder + "/files/locked").constData(), 0555) == 0);
}

int crossDevice(const QString &, const QString &)
{
    return EXDEV;
}

} // namespace

class PublishBackupTest : public QObject
{
    Q_OBJECT
private slots:
    void failedRunPutsEveryItemBack_data()
    {
        QTest::addColumn<bool>("acrossFileSystems");
        QTest::newRow("rename") << false;
        QTest::newRow("copy and delete") << true;
    }

    void failedRunPutsEveryItemBack()
    {
        QFETCH(bool, acrossFileSystems);
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        writeOlderBook(out);
        const auto before = folderContents(out);

        PublishBackup backup;
        if (acrossFileSystems)
            backup.setRenameFunction(crossDevice);
        QVERIFY(backup.prepare());
        QVERIFY(QFileInfo(backup.backupFilePath()).isDir());
        QString error;
        QVERIFY2(backup.moveAside(out + "/book.html", &error), qPrintable(error));
        QVERIFY2(backup.moveAside(out + "/files", &error), qPrintable(error));
        QVERIFY(!PublishBackup::pathExists(out + "/book.html") && !PublishBackup::pathExists(out + "/files"));
        QCOMPARE(backup.backupPathDict().keys(), (QStringList{out + "/book.html", out + "/files"}));
        // A copy keeps link texts and permission bits.
        const QString aside = backup.backupPathDict().value(out + "/files");
        QCOMPARE(QFile::symLinkTarget(aside + "/cover.jpg"), aside + "/page/1.jpg");
        QCOMPARE(modeOf(aside + "/page/1.jpg"), mode_t(0444));
        QCOMPARE(modeOf(aside + "/locked"), mode_t(0555));

        // The failed run left half a book behind.
        writeFile(out + "/files/page/1.jpg", "half written");
        writeFile(out + "/book.html", "half written");

        QVERIFY(backup.restoreAll().isEmpty());
        QCOMPARE(folderContents(out), before);
        QVERIFY(backup.backupPathDict().isEmpty());
        QVERIFY(!backup.isFolderKept());
    }

    void restoreDeletesNothingWhoseBackupIsGone()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("book.html"), "older");
        PublishBackup backup;
        QVERIFY(backup.prepare());
        QVERIFY(backup.moveAside(dir.filePath("book.html")));
        QVERIFY(QFile::remove(backup.backupPathDict().value(dir.filePath("book.html"))));
        writeFile(dir.filePath("book.html"), "new");
        QVERIFY(backup.restoreAll().isEmpty());
        QCOMPARE(readFile(dir.filePath("book.html")), QByteArray("new"));
    }

    void itemThatCannotBeMovedStaysWhereItIs()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("book.html"), "older");
        PublishBackup backup;
        QVERIFY(backup.prepare());
        backup.setRenameFunction([](const QString &, const QString &) { return EACCES; });
        QString error;
        QVERIFY(!backup.moveAside(dir.filePath("book.html"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(backup.isEmpty());
        QCOMPARE(readFile(dir.filePath("book.html")), QByteArray("older"));

        // Across file systems, an item that cannot be copied completely stays too, and
        // no partial copy is left.
        writeFile(dir.filePath("files/a.txt"), "a");
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("files/pipe")).constData(), 0600) == 0);
        backup.setRenameFunction(crossDevice);
        QVERIFY(!backup.moveAside(dir.filePath("files"), &error));
        QVERIFY(QFile::exists(dir.filePath("files/a.txt")));
        QCOMPARE(QDir(backup.backupFilePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void eachRunStartsWithAnEmptyFolderAndNoEntries()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a/book.html"), "a");
        writeFile(dir.filePath("b/book.html"), "b");
        PublishBackup backup;
        QVERIFY(backup.prepare());
        const QString folder = backup.backupFilePath();
        QVERIFY(backup.moveAside(dir.filePath("a/book.html")));
        QVERIFY(backup.prepare());
        QCOMPARE(backup.backupFilePath(), folder);
        QVERIFY(backup.isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        // Two items of the same name from different folders do not meet.
        writeFile(dir.filePath("a/book.html"), "a again");
        QVERIFY(backup.moveAside(dir.filePath("a/book.html")));
        QVERIFY(backup.moveAside(dir.filePath("b/book.html")));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
        QVERIFY(backup.restoreAll().isEmpty());
        QCOMPARE(readFile(dir.filePath("a/book.html")) + readFile(dir.filePath("b/book.html")), QByteArray("a againb"));
        backup.removeFolder();
        QVERIFY(!QFileInfo::exists(folder));
    }
};

QV_TEST(PublishBackupTest)
#include "tst_publishbackup.moc"
