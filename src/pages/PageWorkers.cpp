#include "pages/PageWorkers.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>

namespace PageWorkers {

int defaultThreadCount()
{
    return std::max(1, QThread::idealThreadCount());
}

QThreadPool &pool()
{
    // Page work never runs on Qt's global pool: the window's painting (scaled and
    // converted pictures) splits its work over that pool and waits for it, so
    // workers filling it for a whole import would freeze the window for as long.
    static QThreadPool pages;
    static const bool sized = [] {
        pages.setMaxThreadCount(defaultThreadCount());
        pages.setObjectName(QStringLiteral("page workers"));
        return true;
    }();
    Q_UNUSED(sized);
    return pages;
}

bool run(int count, int threads, const WorkerFactory &makeWorker, const std::atomic_bool *stop)
{
    if (count <= 0)
        return true;
    threads = std::clamp(threads, 1, count);
    std::atomic_int next{0};
    std::atomic_bool halted{false};
    std::atomic_bool threw{false};

    const auto body = [&] {
        try {
            const ItemFunction work = makeWorker();
            if (!work)
                return;
            for (;;) {
                if (halted.load() || (stop && stop->load()))
                    return;
                const int item = next.fetch_add(1);
                if (item >= count)
                    return;
                if (!work(item)) {
                    halted = true;
                    return;
                }
            }
        } catch (...) {
            threw = true;
            halted = true;
        }
    };

    // The calling thread only waits: were it to work too, observers living on it
    // would get its progress directly but the other threads' progress later,
    // queued, and so out of order. When it is a page worker itself, its place in
    // the pool is lent to the workers while it waits.
    QThreadPool *pool = &PageWorkers::pool();
    QSemaphore finished;
    for (int i = 0; i < threads; ++i)
        pool->start([&] {
            body();
            finished.release();
        });
    const bool callerInPool = pool->contains(QThread::currentThread());
    if (callerInPool)
        pool->releaseThread();
    finished.acquire(threads);
    if (callerInPool)
        pool->reserveThread();
    return !threw.load();
}

} // namespace PageWorkers
