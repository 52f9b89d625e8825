#include "TestSupport.h"
#include "platform/NotificationCenter.h"

#include <QThread>
#include <QtTest>

class NotificationCenterTest : public QObject
{
    Q_OBJECT
private slots:
    void filtersByNameAndSender()
    {
        QObject observer, senderA, senderB;
        QStringList seen;
        auto *center = NotificationCenter::defaultCenter();
        center->addObserver(&observer, QStringLiteral("Ping"), &senderA,
                            [&](const Notification &n) { seen << n.userInfo.value("v").toString(); });
        center->postNotification(QStringLiteral("Ping"), &senderA, {{"v", "a"}});
        center->postNotification(QStringLiteral("Ping"), &senderB, {{"v", "b"}});
        center->postNotification(QStringLiteral("Pong"), &senderA, {{"v", "c"}});
        QCOMPARE(seen, QStringList{"a"});
        center->removeObserver(&observer);
        center->postNotification(QStringLiteral("Ping"), &senderA, {{"v", "d"}});
        QCOMPARE(seen, QStringList{"a"});
    }

    void workerPostsReachMainThread()
    {
        QObject observer;
        QList<Qt::HANDLE> threads;
        int count = 0;
        NotificationCenter::defaultCenter()->addObserver(
            &observer, QStringLiteral("Progress"), nullptr, [&](const Notification &n) {
                threads << QThread::currentThreadId();
                count += n.userInfo.value("index").toInt();
            });
        QThread *worker = QThread::create([] {
            for (int i = 1; i <= 3; ++i)
                NotificationCenter::defaultCenter()->postNotification(QStringLiteral("Progress"), nullptr,
                                                                      {{"index", i}});
        });
        worker->start();
        worker->wait();
        delete worker;
        QTRY_COMPARE(count, 6);
        for (Qt::HANDLE t : threads)
            QCOMPARE(t, QThread::currentThreadId());
    }

    void destroyedObserverIsForgotten()
    {
        int calls = 0;
        {
            QObject observer;
            NotificationCenter::defaultCenter()->addObserver(&observer, QStringLiteral("Gone"), nullptr,
                                                             [&](const Notification &) { ++calls; });
            // Queued from a worker, then the observer dies before the event loop runs.
            QThread *worker = QThread::create([] {
                NotificationCenter::defaultCenter()->postNotification(QStringLiteral("Gone"));
            });
            worker->start();
            worker->wait();
            delete worker;
        }
        QCoreApplication::processEvents();
        NotificationCenter::defaultCenter()->postNotification(QStringLiteral("Gone"));
        QCOMPARE(calls, 0);
    }

    void performOnMainThreadDoesNotWait()
    {
        bool ran = false;
        QThread *worker = QThread::create([&] { performOnMainThread([&] { ran = true; }); });
        worker->start();
        worker->wait(); // returns although the main thread has not run the work yet
        delete worker;
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
    }
};

QV_TEST(NotificationCenterTest)
#include "tst_notificationcenter.moc"
