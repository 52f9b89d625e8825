#include "platform/WorkerPool.h"

#include <QThread>
#include <QThreadPool>

namespace WorkerPool {

QThreadPool *pool()
{
    // Made on first use and kept to the end of the program (never destroyed while a
    // static destructor might still wait on it).
    static QThreadPool *instance = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(qMax(2, QThread::idealThreadCount()));
        made->setExpiryTimeout(30000);
        return made;
    }();
    return instance;
}

} // namespace WorkerPool
