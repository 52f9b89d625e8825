#pragma once
// Snapshots of book pages for the phone version of a book, made by the helper program
// "ZuziDOR" (tools/zuzidor): one child process per page, started with the single
// argument "i=<page file>|o=<JPEG file>|w=<width>|h=<height>" (paths escaped as every
// helper argument is: "|" as ":7C:", "=" as ":3D:"). The helper writes a JPEG of
// exactly width by height, the page fitted and centred on white, and exits with 0.
//
// One SWFSnapDelegate is one job: run() starts it on a thread of its own and returns;
// isClose() turns 1 when the job has ended, picture or not. A helper still running at
// the job's time limit is killed and reaped, so no job outlives its limit by more than
// the kill. Only page kinds the helper can draw (SWF movies, pictures and PDF pages)
// start a process; any other page ends the job at once without a picture.
//
// The class operations block the calling thread: call them from a worker when a window
// must stay responsive. They touch no widgets and may run on any thread. batchSnap and
// singleSnap install the helper first when it is missing (the start-up install may
// not have run yet). An install waits until running batch and single snapshots have
// ended, and snapshots asked for meanwhile wait for the install.

#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class SWFSnapDelegate
{
public:
    // Time limits and the number of jobs run at once; tests shorten them.
    struct Limits
    {
        int jobTimeLimitMs = 120000;   // a helper running longer is killed
        int singleWaitMs = 180000;     // singleSnap gives up waiting after this
        int maxRunningJobs = 0;        // 0: 10, or 5 on a machine with fewer than 4 cores
        int pollIntervalMs = 20;       // how often waiting callers look at their jobs
    };
    static Limits limits();
    static void setLimits(const Limits &limits);
    // The number of batch jobs allowed at once under the current limits.
    static int maxRunningJobs();

    SWFSnapDelegate();
    ~SWFSnapDelegate();
    SWFSnapDelegate(const SWFSnapDelegate &) = delete;
    SWFSnapDelegate &operator=(const SWFSnapDelegate &) = delete;

    QString swfFile() const;
    void setSwfFile(const QString &path);
    QString outputFile() const;
    void setOutputFile(const QString &path);
    qint64 pageWidth() const;
    void setPageWidth(qint64 width);
    qint64 pageHeight() const;
    void setPageHeight(qint64 height);
    // 0 while the job runs, 1 once it has ended, whether or not a picture was written.
    qint64 isClose() const;
    // True once the helper has exited normally with status 0.
    bool succeeded() const;

    // Sets isClose() to 0 and starts executeZuziDOR() on a new detached thread.
    void run();
    // The job itself, on the calling thread.
    void executeZuziDOR();

    // The helper's argument for this job.
    QString argumentString() const;

    // Snapshots of every page file into workspace/"N.jpg" (N from 1), at most
    // maxRunningJobs() at once. Returns the expected picture paths in page order,
    // whether or not each was written. Waits for every started job (each ends by its
    // time limit).
    static QStringList batchSnap(const QStringList &pageFiles, const QString &workspace, qint64 width,
                                 qint64 height);
    // A snapshot of one page into outputFile; true when the helper succeeded and the
    // file exists. A failed run leaves an older file at outputFile as it was.
    static bool singleSnap(const QString &pageFile, const QString &outputFile, qint64 width, qint64 height);

    // Installs the helper from the resource package "ZuziDOR" into the per-user
    // install folder when it is missing or older than the package's version. True when
    // it was installed now; false when nothing was needed or the install failed.
    static bool installZuziDORExe();
    // The same with another package file (tests).
    static bool installZuziDORExeFromPackage(const QString &packagePath);
    // Where the helper is installed ("ZuziDOR.app/Contents/MacOS/ZuziDOR" in
    // installFolder()); it need not exist.
    static QString ZuziDORExePath();
    static QString installFolder();
    static QString packageVersion() { return QStringLiteral("4"); }

    // Writes "<app>_SWFSnap.cfg" naming a new temporary folder into every trust folder
    // of the Flash player. Failures are ignored.
    static void saveSWFSnapFlashTrustPath();

private:
    struct State;
    std::shared_ptr<State> m_state;
};
