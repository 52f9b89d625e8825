#include "shell/PreviewLoop.h"
#include "platform/WorkerPool.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <exception>

PreviewLoop::PreviewLoop(QObject *parent)
    : QObject(parent)
{
    m_sinceChange.start();
    m_sincePending.start();
    m_due.setSingleShot(true);
    connect(&m_due, &QTimer::timeout, this, &PreviewLoop::tick);
}

PreviewLoop::~PreviewLoop()
{
    stopAndWait();
}

void PreviewLoop::setPreviewChangeFlag(int bits)
{
    if (bits == 0)
        return;
    if (m_flag == 0)
        m_sincePending.restart();
    m_flag |= bits;
    m_sinceChange.restart();
    schedule();
}

void PreviewLoop::clearPreviewChangeFlag()
{
    m_flag = 0;
    m_due.stop();
}

void PreviewLoop::schedule()
{
    if (m_running || m_flag == 0)
        return;
    const qint64 wait = std::min(settle() - m_sinceChange.elapsed(), m_maxDelay - m_sincePending.elapsed());
    m_due.start(int(std::max<qint64>(0, wait)));
}

bool PreviewLoop::tick()
{
    if (m_running || m_flag == 0)
        return false;
    if (m_sinceChange.elapsed() < settle() && m_sincePending.elapsed() < m_maxDelay) {
        schedule();
        return false;
    }
    start();
    return m_running;
}

bool PreviewLoop::buildNow()
{
    if (m_running || m_flag == 0)
        return false;
    start();
    return m_running;
}

void PreviewLoop::start()
{
    if (!m_builder || m_folder.isEmpty())
        return;
    const int flags = m_flag;
    m_flag = 0;
    QString error;
    std::shared_ptr<PreviewJob> job(m_builder->prepare(flags, &error));
    if (!job) {
        if (!error.isEmpty())
            emit previewFailed(error);
        return;
    }
    m_buildingFlags = flags;
    m_job = job;
    m_running = true;
    ++m_builds;
    const quint64 generation = ++m_generation;
    m_stop = std::make_shared<std::atomic_bool>(false);
    const std::shared_ptr<std::atomic_bool> stop = m_stop;
    const QString folder = m_folder;
    PreviewJob *running = job.get(); // m_job keeps it until the worker is done
    m_due.stop();
    m_future = QtConcurrent::run(WorkerPool::pool(), [running, folder, stop]() -> PreviewBuildResult {
        try {
            return running->run(folder, *stop);
        } catch (const std::exception &e) {
            return PreviewBuildResult::failed(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            return PreviewBuildResult::failed(QStringLiteral("unknown error"));
        }
    });
    auto *watcher = new QFutureWatcher<PreviewBuildResult>(this);
    connect(watcher, &QFutureWatcher<PreviewBuildResult>::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        onFinished(generation);
    });
    watcher->setFuture(m_future);
    emit buildStarted(flags);
}

void PreviewLoop::onFinished(quint64 generation)
{
    if (!m_running || generation != m_generation)
        return; // already concluded by stopAndWait()
    conclude(m_future.result());
}

void PreviewLoop::cancel()
{
    if (m_running && m_stop)
        *m_stop = true;
}

void PreviewLoop::stopAndWait()
{
    if (!m_running)
        return;
    cancel();
    m_future.waitForFinished();
    conclude(m_future.result());
}

void PreviewLoop::conclude(const PreviewBuildResult &result)
{
    m_running = false;
    m_job.reset();
    switch (result.outcome) {
    case PreviewBuildResult::Outcome::Written:
        emit previewReady(m_folder, result.settings);
        break;
    case PreviewBuildResult::Outcome::Cancelled:
        // The changes were not shown: they are due again.
        setPreviewChangeFlag(m_buildingFlags);
        break;
    case PreviewBuildResult::Outcome::Failed:
        emit previewFailed(result.message);
        break;
    }
    m_buildingFlags = 0;
    schedule(); // changes made meanwhile
}
