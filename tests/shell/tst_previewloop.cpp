#include "TestSupport.h"
#include "shell/PreviewLoop.h"

#include <QSemaphore>
#include <QtTest>

namespace {

// A builder whose jobs wait for the test to let them finish (or to be stopped), and
// report what the test asks for.
struct FakeBuilder : PreviewBuilder
{
    struct Job : PreviewJob
    {
        FakeBuilder *owner = nullptr;
        PreviewBuildResult run(const QString &, const std::atomic_bool &stop) override
        {
            ++owner->running;
            while (!owner->release.tryAcquire(1, 5)) {
                if (stop) {
                    --owner->running;
                    return PreviewBuildResult::cancelled();
                }
            }
            --owner->running;
            return owner->failWith.isEmpty() ? PreviewBuildResult::written()
                                             : PreviewBuildResult::failed(owner->failWith);
        }
    };

    std::unique_ptr<PreviewJob> prepare(int changeFlags, QString *error) override
    {
        flags << changeFlags;
        if (!prepareError.isNull()) {
            *error = prepareError;
            return nullptr;
        }
        auto job = std::make_unique<Job>();
        job->owner = this;
        return job;
    }

    QList<int> flags;
    QString prepareError;
    QString failWith;
    QSemaphore release;
    std::atomic_int running{0};
};

} // namespace

class PreviewLoopTest : public QObject
{
    Q_OBJECT

    std::shared_ptr<FakeBuilder> builder;
    std::unique_ptr<PreviewLoop> loop;

    // Ticks as the application's timer does, for a while (and once more at its end, so
    // a slow machine still ticks after the time has passed).
    void tickFor(int milliseconds)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < milliseconds) {
            loop->tick();
            QTest::qWait(20);
        }
        loop->tick();
    }

private slots:
    void init()
    {
        builder = std::make_shared<FakeBuilder>();
        loop = std::make_unique<PreviewLoop>();
        loop->setBuilder(builder);
        loop->setPreviewFolder(QStringLiteral("/tmp/preview"));
        loop->setSettleInterval(100);
        loop->setMaximumDelay(10000);
    }

    void cleanup()
    {
        builder->release.release(100);
        loop.reset();
    }

    void quickChangesGiveOneRebuild()
    {
        QSignalSpy ready(loop.get(), &PreviewLoop::previewReady);
        for (int i = 0; i < 5; ++i) {
            loop->setPreviewChangeFlag(i % 2 ? PreviewChange::Settings : PreviewChange::Outline);
            QVERIFY(!loop->tick()); // still settling
            QTest::qWait(30);
        }
        tickFor(200);
        QCOMPARE(loop->buildCount(), 1);
        QCOMPARE(builder->flags, QList<int>{PreviewChange::Settings | PreviewChange::Outline});
        QVERIFY(loop->isBuilding());
        builder->release.release();
        QTRY_COMPARE(ready.count(), 1);
        QCOMPARE(ready.first().first().toString(), QStringLiteral("/tmp/preview"));
        tickFor(200);
        QCOMPARE(loop->buildCount(), 1); // nothing new: nothing built
    }

    void aChangeIsBuiltWhenDueWithoutTicks()
    {
        QSignalSpy ready(loop.get(), &PreviewLoop::previewReady);
        QElapsedTimer t;
        t.start();
        loop->setPreviewChangeFlag(PreviewChange::Outline);
        QTRY_COMPARE_WITH_TIMEOUT(loop->buildCount(), 1, 2000);
        QVERIFY(t.elapsed() >= loop->settleInterval());
        builder->release.release();
        QTRY_COMPARE(ready.count(), 1);
        // And the next one.
        loop->setPreviewChangeFlag(PreviewChange::Outline);
        QTRY_COMPARE_WITH_TIMEOUT(loop->buildCount(), 2, 2000);
    }

    void settingsAloneAreBuiltWithoutTheLongWait()
    {
        loop->setSettleInterval(60000);
        loop->setSettingsSettleInterval(10);
        loop->setPreviewChangeFlag(PreviewChange::Settings);
        QTRY_COMPARE_WITH_TIMEOUT(loop->buildCount(), 1, 5000);
        builder->release.release();
        QTRY_VERIFY(!loop->isBuilding());
        // With another change among them, the changes wait as long as any other.
        loop->setPreviewChangeFlag(PreviewChange::Settings);
        loop->setPreviewChangeFlag(PreviewChange::Pages);
        tickFor(300);
        QCOMPARE(loop->buildCount(), 1);
    }

    void changesDuringARebuildGiveOneMore()
    {
        QSignalSpy ready(loop.get(), &PreviewLoop::previewReady);
        loop->setPreviewChangeFlag(PreviewChange::All);
        QVERIFY(loop->buildNow());
        for (int i = 0; i < 4; ++i)
            loop->setPreviewChangeFlag(PreviewChange::Settings);
        tickFor(200);
        QCOMPARE(loop->buildCount(), 1); // one at a time
        builder->release.release();
        QTRY_COMPARE(ready.count(), 1);
        tickFor(200);
        QCOMPARE(loop->buildCount(), 2);
        builder->release.release();
        QTRY_COMPARE(ready.count(), 2);
        QCOMPARE(builder->flags, (QList<int>{PreviewChange::All, PreviewChange::Settings}));
    }

    void aLongDragStillShowsNowAndThen()
    {
        loop->setMaximumDelay(300);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 800) { // changes never settle
            loop->setPreviewChangeFlag(PreviewChange::Settings);
            loop->tick();
            QTest::qWait(20);
        }
        QCOMPARE(loop->buildCount(), 1);
    }

    void aFailureIsReportedOnceAndNotRetried()
    {
        builder->failWith = QStringLiteral("disk full");
        QSignalSpy failed(loop.get(), &PreviewLoop::previewFailed);
        loop->setPreviewChangeFlag(PreviewChange::Settings);
        tickFor(200);
        builder->release.release();
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.first().first().toString(), QStringLiteral("disk full"));
        tickFor(300);
        QCOMPARE(loop->buildCount(), 1);

        // Nothing to build is said once too, and the changes are dropped.
        builder->prepareError = QStringLiteral("no pages");
        loop->setPreviewChangeFlag(PreviewChange::Pages);
        tickFor(300);
        QCOMPARE(failed.count(), 2);
        QCOMPARE(loop->previewChangeFlag(), 0);
    }

    void stoppingKeepsTheChangesDue()
    {
        QSignalSpy ready(loop.get(), &PreviewLoop::previewReady);
        loop->setPreviewChangeFlag(PreviewChange::Pages);
        QVERIFY(loop->buildNow());
        QTRY_COMPARE(builder->running.load(), 1);
        loop->stopAndWait(); // as before a save
        QVERIFY(!loop->isBuilding());
        QCOMPARE(builder->running.load(), 0);
        QCOMPARE(ready.count(), 0);
        QCOMPARE(loop->previewChangeFlag(), PreviewChange::Pages);
        tickFor(200);
        QCOMPARE(loop->buildCount(), 2);
        builder->release.release();
        QTRY_COMPARE(ready.count(), 1);
    }

    void destroyingWaitsForTheWorker()
    {
        loop->setPreviewChangeFlag(PreviewChange::All);
        QVERIFY(loop->buildNow());
        QTRY_COMPARE(builder->running.load(), 1);
        loop.reset();
        QCOMPARE(builder->running.load(), 0);
    }
};

QV_TEST(PreviewLoopTest)
#include "tst_previewloop.moc"
