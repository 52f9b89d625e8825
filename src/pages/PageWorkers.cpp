#include "pages/PageWorkers.h"

#include <QThread>
#include <algorithm>
#include <thread>
#include <vector>

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

    // The calling thread only waits: were it to work too, observers living on it
    // would get its progress directly but the other threads' progress later,
    // queued, and so out of order.
    std::vector<std::thread> pool;
    pool.reserve(size_t(threads));
    for (int i = 0; i < threads; ++i)
        pool.emplace_back(body);
    for (std::thread &t : pool)
        t.join();
    return !threw.load();
}

} // namespace PageWorkers
