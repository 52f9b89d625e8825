#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "foundation/ImageUtility.h"
#include "foundation/SettingsStore.h"

#include <QDir>
#include <QImage>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace TestFiles;

class UserFilesTest : public QObject
{
    Q_OBJECT
private slots:
    void userFoldersStayInTheUsersDataArea()
    {
        const QString data = TestSupport::isolatedHome() + "/.local/share";
        QCOMPARE(AppUtility::userAppExtraDataPath(), data + "/Zendarrow/Quorvel");
        QCOMPARE(AppUtility::userAppResourcePath("Plugin/Save"), data + "/Zendarrow/flipbook/Plugin/Save");
        QVERIFY(QFileInfo(data + "/Zendarrow/flipbook/Plugin/Save").isDir());
        QCOMPARE(userDocumentsFolder(), TestSupport::isolatedHome() + "/Documents");

        const QString a = createUniqueTempFolder(), b = createUniqueTempFolder();
        QVERIFY(!a.isEmpty() && a != b);
        QVERIFY(a.startsWith(QDir::tempPath() + "/Quorvel/temp."));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(a).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);

        // A shared folder of that name that is not ours (here: a link planted by
        // someone else) is not used.
        const QString shared = QDir::tempPath() + "/Quorvel";
        QVERIFY(QDir().rename(shared, shared + ".mine"));
        QDir().mkpath(QDir::tempPath() + "/elsewhere");
        QVERIFY(QFile::link(QDir::tempPath() + "/elsewhere", shared));
        const QString c = createUniqueTempFolder();
        QVERIFY2(c.startsWith(shared + QStringLiteral("-%1/temp.").arg(::geteuid())), qPrintable(c));
        QCOMPARE(QDir(QDir::tempPath() + "/elsewhere").isEmpty(), true);
        QFile::remove(shared);
        QVERIFY(QDir().rename(shared + ".mine", shared));
    }

    void settingsStoreIsShared()
    {
        SettingsStore::setValue("ImageDPILevel1", 300);
        SettingsStore::setValue("ImageDPILevel2", "junk");
        SettingsStore::sync();
        QVERIFY(QFile::exists(TestSupport::isolatedHome() + "/.config/Zendarrow/Quorvel.conf"));
        QCOMPARE(ImageUtility::getImageDPIByLevel(0), 216);
        QCOMPARE(ImageUtility::getImageDPIByLevel(1), 300);
        QCOMPARE(ImageUtility::getImageDPIByLevel(2), 120);
        QCOMPARE(ImageUtility::getImageDPIByLevel(7), 216);
        SettingsStore::setValue("ImageDPILevel0", 96);
        QCOMPARE(ImageUtility::getImageDPIByLevel(-1), 96);
        for (const char *key : {"ImageDPILevel0", "ImageDPILevel1", "ImageDPILevel2"})
            SettingsStore::remove(key);
    }

    void writeStringIsUtf8WithMark()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("readme.txt");
        QVERIFY(AppUtility::writeString({}, path));
        QCOMPARE(readFile(path), QByteArray("\xEF\xBB\xBF"));
        QVERIFY(AppUtility::writeString(QString::fromUtf8("Grüße"), path));
        QCOMPARE(readFile(path), QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("Grüße").toUtf8());
        QVERIFY(!AppUtility::writeString("x", folder.filePath("missing/readme.txt")));
    }

    void copyFolderContents()
    {
        QTemporaryDir work;
        const QString from = work.filePath("from"), to = work.filePath("to");
        writeFile(from + "/a.txt", "new a");
        writeFile(from + "/.hidden", "h");
        writeFile(from + "/sub/.git/config", "g");
        writeFile(from + "/sub/b.txt", "b");
        writeFile(to + "/a.txt", "old a");
        writeFile(to + "/sub", "a file where a folder comes");
        writeFile(to + "/keep.txt", "k");

        QVERIFY(AppUtility::copyFromPath(from, to, false));
        QCOMPARE(readFile(to + "/a.txt"), QByteArray("new a"));
        QCOMPARE(readFile(to + "/sub/b.txt"), QByteArray("b"));
        QCOMPARE(readFile(to + "/keep.txt"), QByteArray("k"));
        QVERIFY(!QFile::exists(to + "/.hidden"));
        QVERIFY(!QFile::exists(to + "/sub/.git"));

        QVERIFY(AppUtility::copyFromPath(from, to, true));
        QCOMPARE(readFile(to + "/sub/.git/config"), QByteArray("g"));
        QVERIFY(!AppUtility::copyFromPath(from, from + "/sub/inside", true)); // into itself

        QCOMPARE(AppUtility::subFolderOfFolder(from), (QStringList{from + "/sub", from + "/sub/.git"}));
    }

    void theOneCopyNeverFollowsALinkOut()
    {
        QTemporaryDir work;
        const QString from = work.filePath("from"), to = work.filePath("to");
        QVERIFY(writeFile(work.filePath("private/id_rsa"), "PRIVATE KEY"));
        QVERIFY(writeFile(from + "/a.mp3", "ID3 a"));
        QVERIFY(QFile::link(work.filePath("private/id_rsa"), from + "/key.mp3"));
        QVERIFY(QFile::link(from + "/a.mp3", from + "/same.mp3"));
        // A link that stays in the source's folder is copied as its file; one that leads
        // out copies nothing, says why and leaves the target as it was.
        QVERIFY(SafeFiles::copyFile(from + "/same.mp3", to + "/same.mp3"));
        QCOMPARE(readFile(to + "/same.mp3"), QByteArray("ID3 a"));
        QVERIFY(writeFile(to + "/key.mp3", "old"));
        QString error;
        QVERIFY(!SafeFiles::copyFile(from + "/key.mp3", to + "/key.mp3", &error));
        QVERIFY2(error.contains("key.mp3") && error.contains("link"), qPrintable(error));
        QCOMPARE(readFile(to + "/key.mp3"), QByteArray("old"));
        // A link at the target's name is replaced, never written through.
        QVERIFY(QFile::link(work.filePath("private/id_rsa"), to + "/b.mp3"));
        QVERIFY(SafeFiles::copyFile(from + "/a.mp3", to + "/b.mp3"));
        QCOMPARE(readFile(work.filePath("private/id_rsa")), QByteArray("PRIVATE KEY"));
        QCOMPARE(folderListing(to), (QStringList{"b.mp3", "key.mp3", "same.mp3"})); // no temporary file left
        // A folder copy leaves every link out.
        QVERIFY(AppUtility::copyFromPath(from, work.filePath("copy"), true));
        QCOMPARE(folderListing(work.filePath("copy")), QStringList{"a.mp3"});
    }

    void flashTrustFile()
    {
        const QString trust = TestSupport::isolatedHome() + "/.macromedia/Flash_Player/#Security/FlashPlayerTrust";
        QVERIFY(AppUtility::makeDiractoryTrustByFlash("/books/one/"));
        QVERIFY(AppUtility::makeDiractoryTrustByFlash("/books/two"));
        QVERIFY(AppUtility::makeDiractoryTrustByFlash("/books/one"));
        QCOMPARE(readFile(trust + "/Quorvel.cfg"), QByteArray("/books/one\n/books/two\n"));
    }

    void imagesAreWrittenAtomically()
    {
        QTemporaryDir work;
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray encoded;
        QBuffer buffer(&encoded);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "JPG"));

        const QString path = work.filePath("shot.png");
        QVERIFY(ImageUtility::saveImageToPath(path, "png", encoded, 0, 0.97));
        QCOMPARE(QImage(path).size(), QSize(40, 20));
        QVERIFY(!ImageUtility::saveImageToPath(path, "png", "not an image", 0, 0.97));
        QVERIFY(!ImageUtility::saveImageToPath(path, "nosuchformat", encoded, 0, 0.97));
        QCOMPARE(QImage(path).size(), QSize(40, 20)); // the older file survived
        QCOMPARE(ImageUtility::resizeImage(image, {10, 30}).size(), QSize(10, 30));
    }

    void foldersLeftByEndedProgramsAreRemoved()
    {
        const QString live = createUniqueTempFolder();
        const QString parent = QFileInfo(live).absolutePath();
        QVERIFY(TestFiles::writeFile(live + "/page.jpg", "picture"));

        // A claim like this program's, held by a process that has ended (killed, say).
        QProcess ended;
        ended.start("true");
        QVERIFY(ended.waitForStarted());
        const qint64 gone = ended.processId();
        QVERIFY(ended.waitForFinished());
        QLockFile sample(parent + "/sample.lock");
        QVERIFY(sample.tryLock(0));
        QByteArray claim = TestFiles::readFile(parent + "/sample.lock");
        sample.unlock();
        claim = QByteArray::number(gone) + claim.mid(claim.indexOf('\n'));
        const QString killed = parent + "/temp.killed";
        QVERIFY(TestFiles::writeFile(killed + "/pages/1.jpg", "picture"));
        QVERIFY(TestFiles::writeFile(killed + ".lock", claim));
        // Unclaimed: from an older version, or left empty; only old ones go.
        const QString old = parent + "/temp.old", recent = parent + "/temp.recent";
        QVERIFY(QDir().mkpath(old) && QDir().mkpath(recent));
        const struct timeval threeDaysAgo[2] = {{::time(nullptr) - 3 * 24 * 3600, 0}, {::time(nullptr) - 3 * 24 * 3600, 0}};
        QCOMPARE(::utimes(QFile::encodeName(old).constData(), threeDaysAgo), 0);

        QCOMPARE(removeStaleTemporaryFolders(), 2);
        QVERIFY(!QFileInfo::exists(killed));
        QVERIFY(!QFileInfo::exists(killed + ".lock"));
        QVERIFY(!QFileInfo::exists(old));
        QVERIFY(QFileInfo::exists(recent));
        QCOMPARE(TestFiles::readFile(live + "/page.jpg"), QByteArray("picture")); // in use here

        // The claim goes with its folder.
        QVERIFY(QFileInfo::exists(live + ".lock"));
        QVERIFY(removeTree(live));
        QVERIFY(!QFileInfo::exists(live + ".lock"));
    }
};

QV_TEST(UserFilesTest)
#include "tst_userfiles.moc"
