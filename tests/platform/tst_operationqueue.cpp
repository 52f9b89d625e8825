#include "TestSupport.h"
#include "platform/OperationQueue.h"

#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QtTest>

namespace {

// Records what it did; waits for `release` once it runs, when given one.
class Step : public Operation
{
public:
    Step(QStringList *log, QMutex *mutex, const QString &name, QSemaphore *release = nullptr)
        : m_log(log), m_mutex(mutex), m_name(name), m_release(release)
    {
    }
    QSemaphore started;
    QStringList told; // each time cancelled() was called

protected:
    void main() override
    {
        started.release();
        if (m_release)
            while (!isCancelled() && !m_release->tryAcquire(1, 5)) {
            }
        QMutexLocker lock(m_mutex);
        *m_log << m_name + (isCancelled() ? QStringLiteral(" stopped") : QString());
    }
    void cancelled() override
    {
        QMutexLocker lock(m_mutex);
        told << m_name;
    }

private:
    QStringList *m_log;
    QMutex *m_mutex;
    QString m_name;
    QSemaphore *m_release;
};

} // namespace

class OperationQueueTest : public QObject
{
    Q_OBJECT
private slots:
    void runsInOrderAndFinishesOnce()
    {
        QStringList log;
        QMutex mutex;
        OperationQueue queue;
        queue.setMaxConcurrentOperationCount(1);
        QList<std::shared_ptr<Step>> steps;
        int finished = 0;
        for (const char *name : {"a", "b", "c"}) {
            steps << std::make_shared<Step>(&log, &mutex, name);
            connect(steps.last().get(), &Operation::finished, this, [&] { ++finished; });
            queue.addOperation(steps.last());
        }
        queue.addOperation(steps.first()); // already queued: ignored
        QTRY_COMPARE_WITH_TIMEOUT(finished, 3, 10000); // queued to this thread, delivered by the event loop
        QCOMPARE(log, (QStringList{"a", "b", "c"}));
        steps.first()->start(); // a finished operation never runs again
        QCOMPARE(log.size(), 3);
    }

    void cancelStopsRunningAndSkipsPending()
    {
        QStringList log;
        QMutex mutex;
        QSemaphore never;
        OperationQueue queue;
        queue.setMaxConcurrentOperationCount(1);
        auto running = std::make_shared<Step>(&log, &mutex, "running", &never);
        auto pending = std::make_shared<Step>(&log, &mutex, "pending");
        std::atomic_int finished{0};
        for (auto &op : {running, pending})
            connect(op.get(), &Operation::finished, this, [&] { ++finished; }, Qt::DirectConnection);
        queue.addOperation(running);
        queue.addOperation(pending);
        QVERIFY(running->started.tryAcquire(1, 5000));
        queue.cancelAllOperations();
        queue.cancelAllOperations(); // each is told once only
        queue.waitUntilAllOperationsAreFinished();
        QCOMPARE(log, QStringList{"running stopped"}); // the pending one never ran
        QCOMPARE(running->told, QStringList{"running"});
        QCOMPARE(pending->told, QStringList{"pending"});
        QCOMPARE(finished.load(), 2);
        QVERIFY(pending->isFinished() && pending->isCancelled());
    }
};

QV_TEST(OperationQueueTest)
#include "tst_operationqueue.moc"
