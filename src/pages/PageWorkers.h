#pragma once
// A small parallel loop for page work: every worker thread sets itself up once
// (a PDF renderer opens its own document, for instance) and then takes items one
// at a time until none are left, so pages of uneven cost spread evenly over the
// cores and memory holds only one page per thread.

#include <atomic>
#include <functional>

class QThreadPool;

namespace PageWorkers {

using ItemFunction = std::function<bool(int item)>;
using WorkerFactory = std::function<ItemFunction()>;

// Number of worker threads to use: one per core.
int defaultThreadCount();

// The pool the page workers run on (one thread per core), shared by every page run of
// the program and apart from Qt's global pool.
QThreadPool &pool();

// Runs items 0 .. count - 1 on at most `threads` threads of pool() (fewer when there are
// fewer items). Each thread calls makeWorker() once (a null function ends that
// thread at once) and then the function for each item it takes. No new item is
// taken once a call returned false, a call threw, or *stop became true. The
// calling thread blocks until every worker thread has ended; returns false when a
// worker threw.
bool run(int count, int threads, const WorkerFactory &makeWorker, const std::atomic_bool *stop = nullptr);

} // namespace PageWorkers
