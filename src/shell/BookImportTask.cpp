#include "shell/BookImportTask.h"

#include "pages/PageImport.h"
#include "pages/PageNotifications.h"
#include "platform/NotificationCenter.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

BookImportTask::BookImportTask(const ImportParament &parament, const QString &workspace, QObject *parent)
    : QObject(parent), m_parament(parament), m_workspace(workspace),
      m_import(std::make_unique<PageImport>(parament, workspace))
{
    m_pool.setMaxThreadCount(1);
    // Progress is posted from the import's worker threads and delivered here on ours.
    NotificationCenter::defaultCenter()->addObserver(
        this, ImportProgressInfoMSG, m_import.get(), [this](const Notification &n) {
            emit progress(n.userInfo.value(QStringLiteral("index")).toInt(),
                          n.userInfo.value(QStringLiteral("count")).toInt());
        });
}

BookImportTask::~BookImportTask()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    stop();
    waitForFinished();
}

void BookImportTask::setNormalPageSize(const QSize &size)
{
    m_import->setNormalPageSize(size);
}

void BookImportTask::setThreadCount(int threads)
{
    m_import->setThreadCount(threads);
}

void BookImportTask::start()
{
    if (m_running)
        return;
    m_running = true;
    PageImport *import = m_import.get();
    m_future = QtConcurrent::run(&m_pool, [import] { return import->run(); });
    auto *watcher = new QFutureWatcher<bool>(this);
    connect(watcher, &QFutureWatcher<bool>::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_running = false;
        emit finished(m_future.result());
    });
    watcher->setFuture(m_future);
}

void BookImportTask::stop()
{
    m_import->stop();
}

bool BookImportTask::isStopRequested() const
{
    return m_import->isStopped();
}

void BookImportTask::waitForFinished()
{
    if (m_future.isValid())
        m_future.waitForFinished();
}

const PageResult &BookImportTask::result() const
{
    return m_import->result();
}
