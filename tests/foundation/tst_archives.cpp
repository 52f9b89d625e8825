#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/HelperInstall.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <zip.h>

using namespace TestFiles;

namespace {

// Builds an archive entry by entry with libzip directly, so names and attributes
// can be anything a hostile archive might hold.
struct RawEntry
{
    QByteArray name;
    QByteArray data;
    uint unixMode = 0100644;
};

QString makeRawArchive(const QString &path, const QList<RawEntry> &entries)
{
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return {};
    for (const RawEntry &e : entries) {
        zip_source_t *src = zip_source_buffer(z, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        const zip_int64_t i = zip_file_add(z, e.name.constData(), src, ZIP_FL_ENC_RAW);
        zip_file_set_external_attributes(z, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX, zip_uint32_t(e.unixMode) << 16);
    }
    return zip_close(z) == 0 ? path : QString();
}

} // namespace

class ZipArchiveTest : public QObject
{
    Q_OBJECT
private slots:
    void hostileEntriesAreRefusedAndNothingIsWritten_data()
    {
        QTest::addColumn<QList<RawEntry>>("entries");
        QTest::addColumn<ZipExtractor::Refusal>("refusal");
        QTest::addColumn<QString>("refused");
        const RawEntry good{"good.txt", "fine"};
        using R = ZipExtractor::Refusal;
        QTest::newRow("parent") << QList<RawEntry>{good, {"../escaped.txt", "x"}} << R::LeadsOutside << "../escaped.txt";
        QTest::newRow("nested parent") << QList<RawEntry>{good, {"a/../../escaped.txt", "x"}} << R::LeadsOutside
                                       << "a/../../escaped.txt";
        QTest::newRow("absolute") << QList<RawEntry>{good, {"/tmp/escaped.txt", "x"}} << R::LeadsOutside
                                  << "/tmp/escaped.txt";
        QTest::newRow("backslash parent") << QList<RawEntry>{good, {"..\\escaped.txt", "x"}} << R::LeadsOutside
                                          << "..\\escaped.txt";
        QTest::newRow("drive") << QList<RawEntry>{good, {"C:\\escaped.txt", "x"}} << R::LeadsOutside << "C:\\escaped.txt";
        QTest::newRow("link") << QList<RawEntry>{good, {"link", "../outside", 0120777}} << R::Link << "link";
        QTest::newRow("link then write through it")
            << QList<RawEntry>{{"dir", "../outside", 0120777}, {"dir/escaped.txt", "x"}} << R::Link << "dir";
    }

    void hostileEntriesAreRefusedAndNothingIsWritten()
    {
        QFETCH(QList<RawEntry>, entries);
        QFETCH(ZipExtractor::Refusal, refusal);
        QFETCH(QString, refused);
        QTemporaryDir work;
        const QString archive = makeRawArchive(work.filePath("evil.zip"), entries);
        QVERIFY(!archive.isEmpty());
        const QString target = work.filePath("box/inner");
        QDir().mkpath(target);
        writeFile(target + "/keep.txt", "old");
        QDir().mkpath(work.filePath("outside"));

        ZipExtractor extractor;
        QVERIFY(!extractor.extractFile(archive, target));
        QVERIFY(!extractor.errorString().isEmpty());
        // Refused for what the entry is, by the check of names, before anything is written.
        QCOMPARE(extractor.refusal(), refusal);
        QCOMPARE(extractor.refusedEntry(), refused);
        QCOMPARE(folderListing(target), QStringList{"keep.txt"});
        QCOMPARE(folderListing(work.filePath("box")), (QStringList{"inner", "inner/keep.txt"}));
        QCOMPARE(folderListing(work.filePath("outside")), QStringList{});
        QVERIFY(!QFile::exists("/tmp/escaped.txt"));

        // The same through the in-memory path.
        QVERIFY(!extractor.extractData(readFile(archive), target));
        QCOMPARE(extractor.refusal(), refusal);
        QCOMPARE(folderListing(target), QStringList{"keep.txt"});
    }

    void bombsAndOversizedArchivesAreRefused()
    {
        QTemporaryDir work;
        const QString target = work.filePath("t");
        // 64 MB of zeros pack into some 64 KB: no real file compresses a thousandfold.
        // 20 MB of random bytes beside them keep the archive as a whole at some 4 to 1,
        // so the entry is refused for what it is itself.
        QByteArray random(20 << 20, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
        ZipWriter bomb(work.filePath("bomb.zip"));
        QVERIFY(bomb.addData("random.bin", random));
        QVERIFY(bomb.addData("zeros.bin", QByteArray(64 << 20, '\0')));
        QVERIFY(bomb.commit());
        QVERIFY(QFileInfo(work.filePath("bomb.zip")).size() < (21 << 20));
        ZipExtractor extractor;
        QVERIFY(!extractor.extractFile(work.filePath("bomb.zip"), target));
        QCOMPARE(extractor.refusal(), ZipExtractor::Refusal::Bomb);
        QCOMPARE(extractor.refusedEntry(), QString("zeros.bin"));
        QVERIFY(!QFileInfo::exists(target));

        // Many entries just small enough each: the archive as a whole is the bomb.
        ZipWriter many(work.filePath("many.zip"));
        for (int i = 0; i < 40; ++i)
            QVERIFY(many.addData(QString("part%1.bin").arg(i), QByteArray(1 << 20, '\0')));
        QVERIFY(many.commit());
        QVERIFY(!extractor.extractFile(work.filePath("many.zip"), target));
        QCOMPARE(extractor.refusal(), ZipExtractor::Refusal::Bomb);
        QVERIFY(!QFileInfo::exists(target));

        // Entries of honest sizes past the limits of one entry, of all, of their number.
        QByteArray noise(300000, Qt::Uninitialized);
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 2654435761u) >> 13);
        ZipWriter plain(work.filePath("plain.zip"));
        for (const char *name : {"a.bin", "b.bin", "c.bin"})
            QVERIFY(plain.addData(name, noise));
        QVERIFY(plain.commit());
        const auto refusedWith = [&](ZipExtractor::Limits limits) {
            ZipExtractor limited;
            limited.setLimits(limits);
            const bool ok = limited.extractFile(work.filePath("plain.zip"), target);
            return ok ? ZipExtractor::Refusal::None : limited.refusal();
        };
        ZipExtractor::Limits limits;
        limits.maxTotalBytes = 800000;
        QCOMPARE(refusedWith(limits), ZipExtractor::Refusal::TooLarge);
        limits = {};
        limits.maxEntries = 2;
        QCOMPARE(refusedWith(limits), ZipExtractor::Refusal::TooManyEntries);
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(refusedWith({}), ZipExtractor::Refusal::None);
        QCOMPARE(readFile(target + "/c.bin"), noise);
    }

    void linkInsideTargetIsNotWrittenThrough()
    {
        QTemporaryDir work;
        const QString target = work.filePath("target");
        const QString outside = work.filePath("outside");
        QDir().mkpath(target);
        QDir().mkpath(outside);
        QVERIFY(QFile::link(outside, target + "/docs"));
        const QString archive = makeRawArchive(work.filePath("a.zip"), {{"docs/new.txt", "x"}});
        QVERIFY(!AppUtility::unzipArchive(archive, target));
        QCOMPARE(folderListing(outside), QStringList{});
    }

    void roundTripKeepsContentsModesAndEmptyFolders()
    {
        QTemporaryDir work;
        const QString source = work.filePath("book");
        writeFile(source + "/index.html", "<html/>");
        writeFile(source + "/bin/run.sh", "#!/bin/sh\necho hi\n");
        writeFile(source + "/.hidden", "h");
        writeFile(source + QString::fromUtf8("/files/Über ß.txt"), "umlaut");
        QDir().mkpath(source + "/empty");
        QVERIFY(changeFilePermistion(source + "/bin/run.sh", 0755));

        const QString archive = work.filePath("out/book.zip");
        QVERIFY(AppUtility::zipDirectory(source, archive));
        const QString target = work.filePath("unpacked");
        writeFile(target + "/index.html", "older"); // replaced
        QVERIFY(AppUtility::unzipArchive(archive, target));

        QCOMPARE(folderListing(target), folderListing(source));
        QCOMPARE(readFile(target + "/index.html"), QByteArray("<html/>"));
        QCOMPARE(readFile(target + QString::fromUtf8("/files/Über ß.txt")), QByteArray("umlaut"));
        QVERIFY(QFileInfo(target + "/bin/run.sh").isExecutable());
        QVERIFY(!QFileInfo(target + "/index.html").isExecutable());
        // No staging folder is left behind.
        QVERIFY(!folderListing(target).join(' ').contains(".unzip-"));
    }

    void macResourceFolderIsLeftOut()
    {
        QTemporaryDir work;
        const QString archive = makeRawArchive(work.filePath("mac.zip"),
                                               {{"scene/Meta.xml", "<Info/>"},
                                                {"__MACOSX/scene/._Meta.xml", "fork"},
                                                {"__MACOSX/._scene", "fork"}});
        const QString target = work.filePath("t");
        QVERIFY(AppUtility::unzipData(readFile(archive), target));
        QCOMPARE(folderListing(target), (QStringList{"scene", "scene/Meta.xml"}));
    }

    void damagedArchiveLeavesTargetAsItWas()
    {
        QTemporaryDir work;
        QByteArray big(200000, 'a');
        for (int i = 0; i < big.size(); i += 7)
            big[i] = char('a' + i % 26);
        ZipWriter writer(work.filePath("ok.zip"));
        QVERIFY(writer.addData("first.txt", "new first"));
        QVERIFY(writer.addData("second.bin", big));
        QVERIFY(writer.commit());
        // Flip bytes in the middle of the second entry's compressed data.
        QByteArray bytes = readFile(work.filePath("ok.zip"));
        const qsizetype at = bytes.indexOf("second.bin") + 200;
        for (int i = 0; i < 64; ++i)
            bytes[at + i] = char(~bytes[at + i]);

        const QString target = work.filePath("t");
        writeFile(target + "/first.txt", "old first");
        ZipExtractor extractor;
        QVERIFY(!extractor.extractData(bytes, target));
        QCOMPARE(readFile(target + "/first.txt"), QByteArray("old first"));
        QCOMPARE(folderListing(target), QStringList{"first.txt"});
        QVERIFY(!extractor.extractData(bytes, work.filePath("new/folder")));
        QVERIFY(!QFile::exists(work.filePath("new/folder")));
    }

    void stoppedWriteKeepsOlderArchive()
    {
        QTemporaryDir work;
        const QString archive = work.filePath("book.zip");
        ZipWriter first(archive);
        QVERIFY(first.addData("v1.txt", "one", 0600));
        QVERIFY(first.commit());
        const QByteArray before = readFile(archive);

        std::atomic_bool stop{false};
        ZipWriter second(archive);
        second.setStopFlag(&stop);
        QByteArray payload(4 << 20, 'x');
        QVERIFY(second.addData("big.bin", payload));
        second.setProgressHandler([&](double) { stop = true; }); // stop as soon as writing begins
        QVERIFY(!second.commit());
        QVERIFY(second.wasStopped());
        QCOMPARE(readFile(archive), before);
        QCOMPARE(folderListing(work.path()), QStringList{"book.zip"}); // no temporary left
        QCOMPARE(ZipExtractor::entryNames(archive), QStringList{"v1.txt"});
    }

    // Only the executable bit of an archive's modes counts: nothing comes out
    // writable by others, whatever the archive says.
    void modesFollowTheExecutableBitOnly()
    {
        QTemporaryDir work;
        const QString archive = makeRawArchive(work.filePath("m.zip"), {{"tool", "#!/bin/sh\n", 0100777},
                                                                        {"open.txt", "x", 0100666},
                                                                        {"locked.txt", "y", 0100400},
                                                                        {"data/", "", 040777}});
        QVERIFY(!archive.isEmpty());
        QVERIFY(AppUtility::unzipArchive(archive, work.filePath("t")));
        const auto mode = [&](const QString &name) {
            struct stat st {};
            ::stat(QFile::encodeName(work.filePath("t/" + name)).constData(), &st);
            return st.st_mode & 07777;
        };
        QCOMPARE(mode("tool"), 0755u);
        QCOMPARE(mode("open.txt"), 0644u);
        QCOMPARE(mode("locked.txt"), 0644u);
        QCOMPARE(mode("data"), 0755u);
    }

    void archiveInsideItsFolderIsNotPackedIntoItself()
    {
        QTemporaryDir work;
        writeFile(work.filePath("book/page.html"), "p");
        QVERIFY(AppUtility::zipDirectory(work.filePath("book"), work.filePath("book/book.zip")));
        QVERIFY(AppUtility::zipDirectory(work.filePath("book"), work.filePath("book/book.zip")));
        QCOMPARE(ZipExtractor::entryNames(work.filePath("book/book.zip")), QStringList{"page.html"});
    }

    void emptyFolderGivesReadableEmptyArchive()
    {
        QTemporaryDir work;
        QDir().mkpath(work.filePath("empty"));
        writeFile(work.filePath("a.zip"), "older archive");
        QVERIFY(AppUtility::zipDirectory(work.filePath("empty"), work.filePath("a.zip")));
        QVERIFY(AppUtility::unzipArchive(work.filePath("a.zip"), work.filePath("t")));
        QCOMPARE(folderListing(work.filePath("t")), QStringList{});
    }
};

// Root ignores permission bits, so a read-only folder would not stop a test run as
// root. While this test runs, the process gives up the capabilities that let it.
class WithoutPermissionOverride
{
public:
    WithoutPermissionOverride()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            lowered[cap / 32].effective &= ~(1u << (cap % 32));
        m_changed = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~WithoutPermissionOverride()
    {
        if (m_changed)
            syscall(SYS_capset, &m_header, m_saved);
    }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_changed = false;
};

class PackageInstallTest : public QObject
{
    Q_OBJECT
private:
    QString makePackage(const QString &path, const QByteArray &marker)
    {
        ZipWriter writer(path);
        writer.addData("app/run", "#!/bin/sh\n" + marker, 0755);
        writer.addData("app/data/" + marker + ".txt", marker);
        return writer.commit() ? path : QString();
    }

private slots:
    void upgradeOverReadOnlyInstall()
    {
        WithoutPermissionOverride asNormalUser;
        QTemporaryDir work;
        const QString folder = work.filePath("Helper");
        QVERIFY(AppUtility::isNeedInstallPKGToPath(folder, "1"));
        QVERIFY(AppUtility::installPKGFile(makePackage(work.filePath("v1.zip"), "one"), folder, "1"));
        QCOMPARE(modeOf(folder), 0555u);
        QCOMPARE(readFile(folder + "/.ver"), QByteArray("1"));
        QVERIFY(QFileInfo(folder + "/app/run").isExecutable());
        QVERIFY(!AppUtility::isNeedInstallPKGToPath(folder, "1"));
        QVERIFY(!AppUtility::isNeedInstallPKGToPath(folder, "0"));

        // A newer version empties the read-only folder, then installs over it.
        QVERIFY(AppUtility::isNeedInstallPKGToPath(folder, "2"));
        QCOMPARE(folderListing(folder), QStringList{});
        QVERIFY(AppUtility::installPKGFile(makePackage(work.filePath("v2.zip"), "two"), folder, "2"));
        QCOMPARE(readFile(folder + "/.ver"), QByteArray("2"));
        QVERIFY(QFile::exists(folder + "/app/data/two.txt"));
        QVERIFY(!QFile::exists(folder + "/app/data/one.txt"));

        // Reinstalling the same version over the read-only folder works too.
        QVERIFY(AppUtility::installPKGFile(work.filePath("v2.zip"), folder, "2"));
        makeTreeWritable(folder); // let the temporary folder be cleaned up
    }

    void failedInstallIsRetried()
    {
        QTemporaryDir work;
        const QString folder = work.filePath("Helper");
        writeFile(work.filePath("broken.zip"), "PK\x03\x04 not really an archive");
        QVERIFY(!AppUtility::installPKGFile(work.filePath("broken.zip"), folder, "3"));
        QVERIFY(!QFile::exists(folder + "/.ver"));
        QVERIFY(AppUtility::isNeedInstallPKGToPath(folder, "3"));
        makeTreeWritable(folder);
    }

    void anInstallFollowsNoLink()
    {
        QTemporaryDir work;
        const QString folder = work.filePath("Helper");
        QVERIFY(writeFile(work.filePath("mine/secret"), "mine"));
        QVERIFY(QFile::setPermissions(work.filePath("mine/secret"), QFileDevice::ReadOwner));
        QVERIFY(QDir().mkpath(folder + "/app"));
        QVERIFY(QFile::link(work.filePath("mine/secret"), folder + "/app/run"));
        QCOMPARE(HelperInstall::install(makePackage(work.filePath("v1.zip"), "one"), folder, "1", folder + "/app/run"),
                 HelperInstall::Result::Installed);
        QCOMPARE(modeOf(work.filePath("mine/secret")), 0400u);
        QVERIFY(!QFileInfo(folder + "/app/run").isSymLink());
        makeTreeWritable(folder);
    }

    void plainFileIsCopied()
    {
        QTemporaryDir work;
        writeFile(work.filePath("tool.bin"), "\x7f" "ELF");
        const QString folder = work.filePath("Tool");
        QVERIFY(AppUtility::installPKGFile(work.filePath("tool.bin"), folder, "12"));
        QCOMPARE(readFile(folder + "/tool.bin"), QByteArray("\x7f" "ELF"));
        QVERIFY(!AppUtility::isNeedInstallPKGToPath(folder, "9")); // 12 > 9 as numbers
        makeTreeWritable(folder);
    }
};

QV_TEST(ZipArchiveTest)
QV_TEST(PackageInstallTest)
#include "tst_archives.moc"
