#pragma once
// The program's own pool of worker threads for short background work (installs,
// preview rebuilds, snapshot batches, key stretching). Qt's global pool is never used:
// Qt's own painting waits on it, and work queued there would freeze the window.
//
//   QtConcurrent::run(WorkerPool::pool(), [] { ... });

class QThreadPool;

namespace WorkerPool {

QThreadPool *pool();

} // namespace WorkerPool
