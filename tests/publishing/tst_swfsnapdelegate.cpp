#include "PdfFixtures.h"
#include "SnapTestHelpers.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppResources.h"
#include "foundation/AuxArgumentString.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>
#include <atomic>
#include <thread>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>

using namespace SnapTest;
using namespace TestFiles;
using TestPictures::writePicture;

namespace {

int readNumber(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().trimmed().toInt();
}

bool processGone(int pid)
{
    // A zombie (ended but not reaped) still answers; only a reaped process is gone.
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

class SWFSnapDelegateTest : public QObject
{
    Q_OBJECT
private slots:
    void installsTheHelperOnceAndOverAReadOnlyCopy()
    {
        const QString exe = SWFSnapDelegate::ZuziDORExePath();
        const QString folder = SWFSnapDelegate::installFolder();
        QVERIFY(exe.startsWith(TestSupport::isolatedHome()));
        removeTree(folder);

        QVERIFY(SWFSnapDelegate::installZuziDORExe());
        QVERIFY(QFileInfo(exe).isExecutable());
        QCOMPARE(modeOf(exe), mode_t(0555));
        QCOMPARE(modeOf(folder), mode_t(0555));
        QVERIFY(!SWFSnapDelegate::installZuziDORExe()); // current: nothing to do
        // An older copy with no package to replace it keeps working.
        makeTreeWritable(folder);
        QVERIFY(writeFile(folder + "/.ver", "0"));
        QVERIFY(!SWFSnapDelegate::installZuziDORExeFromPackage(folder + "/no-such-package"));
        QVERIFY(QFileInfo(exe).isExecutable());

        // The version record lost while the read-only copy stays: installed again.
        makeTreeWritable(folder);
        QVERIFY(QFile::remove(folder + "/.ver"));
        changeFilePermistion(folder, 0555);
        QVERIFY(SWFSnapDelegate::installZuziDORExe());
        QVERIFY(QFileInfo(exe).isExecutable());

        // A package that is not a complete helper is reported as a failure, and the
        // next start tries again.
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("ZuziDOR"), "PK\x03\x04 truncated"));
        makeTreeWritable(folder);
        QVERIFY(QFile::remove(folder + "/.ver"));
        QVERIFY(!SWFSnapDelegate::installZuziDORExeFromPackage(dir.filePath("ZuziDOR")));
        QVERIFY(!QFileInfo::exists(folder + "/.ver"));
        QVERIFY(writeFile(dir.filePath("other"), "plain"));
        QVERIFY(!SWFSnapDelegate::installZuziDORExeFromPackage(dir.filePath("other")));
        QVERIFY(SWFSnapDelegate::installZuziDORExe());
        QVERIFY(QFileInfo(exe).isExecutable());
    }

    void batchWritesPicturesOfExactlyTheAskedSize()
    {
        removeTree(SWFSnapDelegate::installFolder()); // the batch installs the helper itself
        QTemporaryDir dir;
        QVERIFY(writePicture(dir.filePath("wide.png"), QSize(300, 100), Qt::red));
        QVERIFY(writePicture(dir.filePath("tall.JPG"), QSize(50, 400), Qt::blue));
        QVERIFY(PdfFixtures::writeFilledPage(dir.filePath("3.pdf"), QSizeF(210, 297), Qt::green));
        QVERIFY(writeFile(dir.filePath("4.swf"), "FWS"));
        // A workspace whose name needs escaping reaches the helper intact.
        const QString workspace = dir.filePath("work=1|a");
        QVERIFY(QDir().mkpath(workspace));

        const QStringList pages{dir.filePath("wide.png"), dir.filePath("tall.JPG"), dir.filePath("3.pdf"),
                                dir.filePath("4.swf"), dir.filePath("missing.png")};
        const QStringList out = SWFSnapDelegate::batchSnap(pages, workspace, 120, 160);
        QCOMPARE(out.size(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(out[i], QDir(workspace).filePath(QString("%1.jpg").arg(i + 1)));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(QImage(out[i]).size(), QSize(120, 160));
        QVERIFY(!QFileInfo::exists(out[3])); // a damaged movie gives no picture
        QVERIFY(!QFileInfo::exists(out[4]));

        // Fitted and centred on white: the wide page leaves white above and below.
        const QImage wide = QImage(out[0]);
        QVERIFY(QColor(wide.pixel(60, 5)).lightness() > 240);
        QVERIFY(QColor(wide.pixel(60, 80)).red() > 200 && QColor(wide.pixel(60, 80)).green() < 60);
        const QImage tall = QImage(out[1]);
        QVERIFY(QColor(tall.pixel(5, 80)).lightness() > 240);
        QVERIFY(QColor(tall.pixel(60, 80)).blue() > 200);
        QVERIFY(QColor(QImage(out[2]).pixel(60, 80)).green() > 200);

        QVERIFY(SWFSnapDelegate::batchSnap({}, workspace, 120, 160).isEmpty());

        // A single page written over an older picture.
        QVERIFY(SWFSnapDelegate::singleSnap(pages[1], out[0], 40, 30));
        QCOMPARE(QImage(out[0]).size(), QSize(40, 30));
        QVERIFY(!SWFSnapDelegate::singleSnap(pages[3], out[0], 40, 30));
        QCOMPARE(QImage(out[0]).size(), QSize(40, 30)); // a failure keeps the old picture
    }

    void neverRunsMoreJobsThanAllowed()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("running")));
        // Each helper counts the helpers running beside it, then holds its place until
        // the test lets them all go.
        QVERIFY(installFakeHelper(QString("touch %1/running/$$\nls %1/running | wc -l >> %1/counts\n"
                                          "while [ ! -e %1/release ]; do sleep 0.05; done\n"
                                          "rm %1/running/$$\nprintf x > \"$OUT\"")
                                      .arg(dir.path())));
        for (int allowed : {3, 10}) {
            SWFSnapDelegate::Limits limits;
            limits.maxRunningJobs = allowed;
            ScopedLimits scoped(limits);
            QFile::remove(dir.filePath("counts"));
            QFile::remove(dir.filePath("release"));
            // As many as allowed start together; then the test lets them go.
            std::atomic_int together = 0;
            std::thread watcher([&] {
                const QDir running(dir.filePath("running"));
                for (int tries = 0; tries < 600 && together < allowed; ++tries) {
                    together = std::max(int(together), int(running.entryList(QDir::Files).size()));
                    if (together < allowed)
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
                TestFiles::writeFile(dir.filePath("release"));
            });
            QStringList pages;
            for (int i = 0; i < 12; ++i)
                pages << dir.filePath(QString("p%1.png").arg(i));
            const QString workspace = dir.filePath(QString("w%1").arg(allowed));
            QDir().mkpath(workspace);
            const QStringList out = SWFSnapDelegate::batchSnap(pages, workspace, 10, 10);
            watcher.join();
            for (const QString &path : out)
                QVERIFY2(QFileInfo::exists(path), qPrintable(path));
            const QByteArray counts = readFile(dir.filePath("counts"));
            QVERIFY(!counts.isEmpty());
            int most = 0;
            for (const QByteArray &line : counts.split('\n'))
                most = std::max(most, line.trimmed().toInt());
            QVERIFY2(most <= allowed, qPrintable(QString("%1 at once").arg(most)));
            QVERIFY2(together == allowed, qPrintable(QString("only %1 at once").arg(int(together))));
        }
    }

    void aHelperPastItsLimitIsKilledAndReaped()
    {
        QTemporaryDir dir;
        QVERIFY(installFakeHelper(QString("echo $$ > %1/pid\nexec sleep 600").arg(dir.path())));
        SWFSnapDelegate::Limits limits;
        limits.jobTimeLimitMs = 400;
        ScopedLimits scoped(limits);

        // The helper would sleep ten minutes: the wait ends at the job's limit instead.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SWFSnapDelegate::singleSnap(dir.filePath("1.png"), dir.filePath("1.jpg"), 10, 10));
        QVERIFY2(timer.elapsed() < 60000, "the wait ends at the job's limit");
        const int pid = readNumber(dir.filePath("pid"));
        QVERIFY(pid > 0);
        QVERIFY2(processGone(pid), "the helper was neither killed nor reaped");

        // A job whose helper cannot start ends as well, without a picture.
        removeTree(SWFSnapDelegate::installFolder());
        SWFSnapDelegate job;
        job.setSwfFile(dir.filePath("1.png"));
        job.setOutputFile(dir.filePath("2.jpg"));
        job.setPageWidth(10);
        job.setPageHeight(10);
        job.run();
        QTRY_COMPARE(job.isClose(), 1);
        QVERIFY(!job.succeeded());
    }

    void batchWaitsForItsSlowestJob()
    {
        QTemporaryDir dir;
        QVERIFY(installFakeHelper("case \"$1\" in *slow*) sleep 1.5 ;; esac\nprintf x > \"$OUT\""));
        SWFSnapDelegate::Limits limits;
        limits.jobTimeLimitMs = 10000;
        limits.maxRunningJobs = 2;
        ScopedLimits scoped(limits);
        const QStringList pages{dir.filePath("a.png"), dir.filePath("slow.png"), dir.filePath("c.png"),
                                dir.filePath("d.png")};
        const QStringList out = SWFSnapDelegate::batchSnap(pages, dir.path(), 10, 10);
        for (const QString &path : out)
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    }

    void anInstallWaitsForTheRunningBatch()
    {
        // A batch runs on the installed helper; an update of the helper (as at start-up)
        // comes while it is still drawing and must not take the helper away from it.
        QTemporaryDir dir;
        QVERIFY(SWFSnapDelegate::installZuziDORExe() || QFileInfo(SWFSnapDelegate::ZuziDORExePath()).isExecutable());
        QVERIFY(installFakeHelper("sleep 0.3\nprintf x > \"$OUT\""));
        SWFSnapDelegate::Limits limits;
        limits.maxRunningJobs = 1;
        ScopedLimits scoped(limits);
        QStringList pages;
        for (int i = 1; i <= 4; ++i)
            pages << dir.filePath(QStringLiteral("%1.png").arg(i));
        QFuture<QStringList> batch = QtConcurrent::run(
            [pages, folder = dir.path()] { return SWFSnapDelegate::batchSnap(pages, folder, 10, 10); });
        const auto settle = qScopeGuard([&] { batch.waitForFinished(); });
        QTRY_VERIFY(QFileInfo::exists(dir.filePath("1.jpg")));
        QVERIFY(QFile::remove(SWFSnapDelegate::installFolder() + "/.ver")); // an update is due

        QVERIFY(SWFSnapDelegate::installZuziDORExe());
        QVERIFY(batch.isFinished());
        for (const QString &path : batch.result())
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        QCOMPARE(modeOf(SWFSnapDelegate::ZuziDORExePath()), mode_t(0555)); // the real helper again
    }
};

QV_TEST(SWFSnapDelegateTest)
#include "tst_swfsnapdelegate.moc"
