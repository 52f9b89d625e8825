#pragma once
// One page import (PDF or pictures) run on a worker thread for the window: progress
// and the end arrive as signals on the thread that made the task, and stop() ends
// the import early (the workspace is then left as it was).
//
// The task owns its PageImport; after finished(), pageImport() holds the pages,
// outline and search text of a successful run, or result() says why it failed.
// Destroying a running task stops the import and waits for it.

#include "batch/ImportParament.h"
#include "pages/PageError.h"

#include <QFuture>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <memory>

class PageImport;

class BookImportTask : public QObject
{
    Q_OBJECT
public:
    BookImportTask(const ImportParament &parament, const QString &workspace, QObject *parent = nullptr);
    ~BookImportTask() override;

    ImportParament parament() const { return m_parament; }
    QString workspace() const { return m_workspace; }
    // The book's page box; set before start().
    void setNormalPageSize(const QSize &size);
    // Worker threads of the import (0: one per core); set before start().
    void setThreadCount(int threads);

    void start();
    void stop();
    // Blocks until the worker ended (it may still have to deliver finished()).
    void waitForFinished();
    bool isRunning() const { return m_running; }
    bool isStopRequested() const;

    PageImport &pageImport() const { return *m_import; }
    const PageResult &result() const;

signals:
    void progress(int index, int count);
    void finished(bool ok);

private:
    ImportParament m_parament;
    QString m_workspace;
    std::unique_ptr<PageImport> m_import;
    QThreadPool m_pool; // the import's own thread; its pages go to the page workers
    QFuture<bool> m_future;
    bool m_running = false;
};
