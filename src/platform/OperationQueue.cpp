#include "platform/OperationQueue.h"

Operation::Operation(QObject *parent)
    : QObject(parent)
{
}

Operation::~Operation() = default;

void Operation::cancel()
{
    if (m_cancelled.exchange(true))
        return;
    if (!m_finished.load())
        cancelled();
}

void Operation::start()
{
    if (m_started.exchange(true))
        return;
    if (!m_cancelled.load()) {
        m_executing = true;
        try {
            main();
        } catch (...) {
            // main() reports its own failures; nothing may escape into the thread pool.
        }
        m_executing = false;
    }
    m_finished = true;
    emit finished();
}

OperationQueue::OperationQueue(QObject *parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
}

OperationQueue::~OperationQueue()
{
    cancelAllOperations();
    m_pool.waitForDone();
}

void OperationQueue::setMaxConcurrentOperationCount(int count)
{
    m_pool.setMaxThreadCount(qMax(1, count));
}

int OperationQueue::maxConcurrentOperationCount() const
{
    return m_pool.maxThreadCount();
}

void OperationQueue::addOperation(const std::shared_ptr<Operation> &operation)
{
    if (!operation)
        return;
    {
        QMutexLocker lock(&m_mutex);
        if (m_operations.contains(operation))
            return;
        m_operations << operation;
    }
    // The destructor waits for the pool, so the queue outlives every task.
    m_pool.start([operation, this] {
        operation->start();
        forget(operation.get());
        QMetaObject::invokeMethod(this, &OperationQueue::operationFinished, Qt::QueuedConnection);
    });
}

void OperationQueue::forget(Operation *operation)
{
    QMutexLocker lock(&m_mutex);
    m_operations.removeIf([operation](const std::shared_ptr<Operation> &op) { return op.get() == operation; });
}

QList<std::shared_ptr<Operation>> OperationQueue::operations() const
{
    QMutexLocker lock(&m_mutex);
    return m_operations;
}

int OperationQueue::operationCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_operations.size());
}

void OperationQueue::cancelAllOperations()
{
    for (const std::shared_ptr<Operation> &operation : operations())
        operation->cancel();
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    m_pool.waitForDone();
}
