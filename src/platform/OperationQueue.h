#pragma once
// Work objects run on worker threads, one object per piece of work (an output job,
// an upload), and the queue that runs them.
//
// An Operation runs its main() once on a thread of its queue. cancel() may be called
// from any thread at any time: an operation cancelled before it began never runs
// main(); a running one is told through cancelled() and should stop soon. Either way
// finished() is emitted exactly once, from the worker thread, when the operation is
// done (observers on the main thread get it queued, as with any signal).
//
//   auto job = std::make_shared<OutputOperation>();
//   connect(job.get(), &Operation::finished, this, &Dialog::publishFinished);
//   queue.addOperation(job);
//   ...
//   queue.cancelAllOperations();                // finished() follows for each
//   queue.waitUntilAllOperationsAreFinished(); // blocking, e.g. at shut-down
//
// A window waits for its operations through their finished() signals, never by
// blocking or by running an event loop of its own.

#include <QList>
#include <QMutex>
#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>

class Operation : public QObject
{
    Q_OBJECT
public:
    explicit Operation(QObject *parent = nullptr);
    ~Operation() override;

    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }
    bool isExecuting() const { return m_executing.load(); }
    bool isFinished() const { return m_finished.load(); }

    // Runs the operation on the calling thread (what the queue does on a worker):
    // main() unless cancelled, then finished(). Only the first call does anything.
    void start();

signals:
    void finished();

protected:
    virtual void main() = 0;
    // Called once by cancel(), on the caller's thread, while main() may be running.
    virtual void cancelled() {}

private:
    std::atomic_bool m_started{false};
    std::atomic_bool m_cancelled{false};
    std::atomic_bool m_executing{false};
    std::atomic_bool m_finished{false};
};

class OperationQueue : public QObject
{
    Q_OBJECT
public:
    explicit OperationQueue(QObject *parent = nullptr);
    // Cancels what is left and waits for it.
    ~OperationQueue() override;

    // How many operations run at once (1 runs them one after another in order).
    void setMaxConcurrentOperationCount(int count);
    int maxConcurrentOperationCount() const;

    // The queue keeps the operation until it has finished.
    void addOperation(const std::shared_ptr<Operation> &operation);
    // Operations added and not finished yet.
    QList<std::shared_ptr<Operation>> operations() const;
    int operationCount() const;

    void cancelAllOperations();
    // Blocks the calling thread until every operation has finished (shut-down only).
    void waitUntilAllOperationsAreFinished();

signals:
    // Emitted on the queue's thread after an operation finished.
    void operationFinished();

private:
    void forget(Operation *operation);

    QThreadPool m_pool;
    mutable QMutex m_mutex;
    QList<std::shared_ptr<Operation>> m_operations;
};
