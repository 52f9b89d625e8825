#include "publishing/SWFSnapDelegate.h"

#include "foundation/AppLog.h"
#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"
#include "foundation/AuxArgumentString.h"
#include "foundation/HelperInstall.h"
#include "publishing/PageSnapshot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMutexLocker>
#include <QProcess>
#include <QReadWriteLock>
#include <QSaveFile>
#include <QThread>

#include <list>
#include <thread>

namespace {

QMutex g_limitsMutex;
SWFSnapDelegate::Limits g_limits;
// Installs run one at a time: start-up installs on a background thread while a
// snapshot run may find the helper missing and install it too.
QMutex g_installMutex;
// Snapshot runs use the installed helper (shared); an install replaces it (exclusive),
// so it never removes the helper from under a running batch, and a batch asked for
// while an install is under way waits for the new copy.
QReadWriteLock g_helperLock;

// A path as the helper gets it: absolute, without "." and ".." parts, "~" expanded.
QString standardizedPath(const QString &path)
{
    QString p = path;
    if (p == QLatin1String("~"))
        p = QDir::homePath();
    else if (p.startsWith(QLatin1String("~/")))
        p = QDir::homePath() + p.mid(1);
    if (p.isEmpty())
        return p;
    return QDir::cleanPath(QFileInfo(p).absoluteFilePath());
}

void sleepMs(int ms)
{
    QThread::msleep(ulong(std::max(1, ms)));
}

// Snapshots asked for before the start-up install has finished install it first.
void ensureHelperInstalled()
{
    if (!QFileInfo(SWFSnapDelegate::ZuziDORExePath()).isExecutable())
        SWFSnapDelegate::installZuziDORExe();
}

} // namespace

// Shared between a job and the thread running it, so either may go first.
struct SWFSnapDelegate::State
{
    mutable QMutex mutex;
    QString swfFile;
    QString outputFile;
    qint64 pageWidth = 0;
    qint64 pageHeight = 0;
    std::atomic<qint64> isClose{0};
    std::atomic_bool succeeded{false};
};

SWFSnapDelegate::Limits SWFSnapDelegate::limits()
{
    QMutexLocker lock(&g_limitsMutex);
    return g_limits;
}

void SWFSnapDelegate::setLimits(const Limits &limits)
{
    QMutexLocker lock(&g_limitsMutex);
    g_limits = limits;
}

int SWFSnapDelegate::maxRunningJobs()
{
    const int set = limits().maxRunningJobs;
    if (set > 0)
        return set;
    return QThread::idealThreadCount() >= 4 ? 10 : 5;
}

SWFSnapDelegate::SWFSnapDelegate() : m_state(std::make_shared<State>()) {}

SWFSnapDelegate::~SWFSnapDelegate() = default;

QString SWFSnapDelegate::swfFile() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->swfFile;
}

void SWFSnapDelegate::setSwfFile(const QString &path)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->swfFile = path;
}

QString SWFSnapDelegate::outputFile() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->outputFile;
}

void SWFSnapDelegate::setOutputFile(const QString &path)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->outputFile = path;
}

qint64 SWFSnapDelegate::pageWidth() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->pageWidth;
}

void SWFSnapDelegate::setPageWidth(qint64 width)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->pageWidth = width;
}

qint64 SWFSnapDelegate::pageHeight() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->pageHeight;
}

void SWFSnapDelegate::setPageHeight(qint64 height)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->pageHeight = height;
}

qint64 SWFSnapDelegate::isClose() const
{
    return m_state->isClose.load();
}

bool SWFSnapDelegate::succeeded() const
{
    return m_state->succeeded.load();
}

QString SWFSnapDelegate::argumentString() const
{
    QMutexLocker lock(&m_state->mutex);
    AuxArgumentString args;
    args.append(QStringLiteral("i"), standardizedPath(m_state->swfFile));
    args.append(QStringLiteral("o"), standardizedPath(m_state->outputFile));
    args.append(QStringLiteral("w"), QString::number(m_state->pageWidth));
    args.append(QStringLiteral("h"), QString::number(m_state->pageHeight));
    return args.toString();
}

void SWFSnapDelegate::run()
{
    m_state->isClose = 0;
    m_state->succeeded = false;
    // The thread holds its own job object over the shared state, so the caller may
    // drop this one while the thread still runs.
    auto state = m_state;
    std::thread([state] {
        SWFSnapDelegate job;
        job.m_state = state;
        job.executeZuziDOR();
    }).detach();
}

void SWFSnapDelegate::executeZuziDOR()
{
    struct CloseOnExit
    {
        State &state;
        ~CloseOnExit() { state.isClose = 1; }
    } closeOnExit{*m_state};

    if (!PageSnapshot::canRender(swfFile()) && !PageSnapshot::isMovie(swfFile()))
        return;

    QProcess process;
    // The helper finds the SWF player among the program's resources.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUORVEL_RESOURCES"), AppResources::resourcePath());
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(ZuziDORExePath(), {argumentString()});
    if (!process.waitForStarted()) {
        AppLog::shared().log(QStringLiteral("page snapshot: cannot start %1: %2")
                                 .arg(ZuziDORExePath(), process.errorString()));
        return;
    }
    if (!process.waitForFinished(limits().jobTimeLimitMs)) {
        // Still running at the limit: stop it, then reap it, so no process is left over.
        AppLog::shared().log(QStringLiteral("page snapshot: %1 took too long and was stopped").arg(swfFile()));
        process.kill();
        process.waitForFinished(-1);
        return;
    }
    m_state->succeeded = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!m_state->succeeded) {
        // The helper says why in a line of its own among whatever else went to stderr.
        const QString output = QString::fromLocal8Bit(process.readAllStandardError());
        const qsizetype at = output.lastIndexOf(QLatin1String("ZuziDOR: "));
        const QString reason = at >= 0 ? output.mid(at).section(QLatin1Char('\n'), 0, 0).trimmed()
                                       : QStringLiteral("exit status %1").arg(process.exitCode());
        AppLog::shared().log(QStringLiteral("page snapshot of %1 failed: %2").arg(swfFile(), reason));
    }
}

QStringList SWFSnapDelegate::batchSnap(const QStringList &pageFiles, const QString &workspace, qint64 width,
                                       qint64 height)
{
    if (pageFiles.isEmpty())
        return {};
    ensureHelperInstalled();
    QReadLocker usingHelper(&g_helperLock);
    const Limits current = limits();
    const int allowed = maxRunningJobs();
    // A job's thread ends at the latest when its helper was killed at the time limit;
    // the grace covers a kill that hangs, after which the job is left to its thread.
    const qint64 giveUpMs = qint64(current.jobTimeLimitMs) + 10000;

    struct Running
    {
        std::unique_ptr<SWFSnapDelegate> job;
        QElapsedTimer started;
    };
    std::list<Running> running;
    const qsizetype total = pageFiles.size();
    qsizetype next = 0;
    const QDir folder(workspace);

    while (next < total || !running.empty()) {
        if (next < total && qsizetype(running.size()) < allowed) {
            Running entry{std::make_unique<SWFSnapDelegate>(), {}};
            entry.job->setSwfFile(pageFiles.at(next));
            entry.job->setOutputFile(folder.filePath(QStringLiteral("%1.jpg").arg(next + 1)));
            entry.job->setPageWidth(width);
            entry.job->setPageHeight(height);
            entry.started.start();
            entry.job->run();
            running.push_back(std::move(entry));
            ++next;
        } else {
            sleepMs(current.pollIntervalMs);
        }
        running.remove_if([&](const Running &r) { return r.job->isClose() == 1 || r.started.elapsed() > giveUpMs; });
    }

    QStringList outputs;
    outputs.reserve(total);
    for (qsizetype n = 1; n <= total; ++n)
        outputs << folder.filePath(QStringLiteral("%1.jpg").arg(n));
    return outputs;
}

bool SWFSnapDelegate::singleSnap(const QString &pageFile, const QString &outputFile, qint64 width, qint64 height)
{
    ensureHelperInstalled();
    QReadLocker usingHelper(&g_helperLock);
    const Limits current = limits();
    SWFSnapDelegate job;
    job.setSwfFile(pageFile);
    job.setOutputFile(outputFile);
    job.setPageWidth(width);
    job.setPageHeight(height);
    job.run();
    QElapsedTimer waited;
    waited.start();
    while (job.isClose() != 1 && waited.elapsed() < current.singleWaitMs)
        sleepMs(current.pollIntervalMs);
    return job.isClose() == 1 && job.succeeded() && QFileInfo(outputFile).isFile();
}

QString SWFSnapDelegate::installFolder()
{
    return AppUtility::userAppFolderForSubFolder(QStringLiteral("/Zendarrow/%1/ZuziDOR").arg(AppUtility::appFolderName()));
}

QString SWFSnapDelegate::ZuziDORExePath()
{
    return installFolder() + QStringLiteral("/ZuziDOR.app/Contents/MacOS/ZuziDOR");
}

bool SWFSnapDelegate::installZuziDORExe()
{
    return installZuziDORExeFromPackage(AppResources::resourcePath(QStringLiteral("ZuziDOR")));
}

bool SWFSnapDelegate::installZuziDORExeFromPackage(const QString &packagePath)
{
    QMutexLocker lock(&g_installMutex);
    const QString folder = installFolder();
    const QString exe = ZuziDORExePath();
    if (HelperInstall::isUpToDate(folder, packageVersion(), exe))
        return false;
    // Running snapshots keep the helper until they end; later ones wait for the new copy.
    QWriteLocker replacingHelper(&g_helperLock);
    return HelperInstall::install(packagePath, folder, packageVersion(), exe) == HelperInstall::Result::Installed;
}

void SWFSnapDelegate::saveSWFSnapFlashTrustPath()
{
    const QByteArray content = createUniqueTempFolder().toUtf8();
    QStringList folders = flashTrustFolderList();
    if (folders.isEmpty())
        folders << AppUtility::getFlashTrustFolder();
    const QString name = AppUtility::appFolderName() + QStringLiteral("_SWFSnap.cfg");
    for (const QString &folder : folders) {
        QSaveFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size())
            file.commit();
    }
}
