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

    // The workers run on the global thread pool: Qt then scales and converts
    // pictures inline on them instead of splitting every picture over the same
    // pool again, which would put twice as many busy threads on the cores.
    // The calling thread only waits: were it to work too, observers living on it
    // would get its progress directly but the other threads' progress later,
    // queued, and so out of order. When it is a pool thread itself, its place in
    // the pool is lent to the workers while it waits.
    QThreadPool *pool = QThreadPool::globalInstance();
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
