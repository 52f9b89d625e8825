#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

NotificationCenter *NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return &center;
}

int NotificationCenter::addObserver(QObject *observer, const QString &name, const QObject *sender,
                                    Handler handler)
{
    Q_ASSERT(observer);
    QMutexLocker lock(&m_mutex);
    const int token = m_nextToken++;
    const bool known = std::any_of(m_entries.cbegin(), m_entries.cend(),
                                   [observer](const Entry &e) { return e.observer == observer; });
    m_entries.append(Entry{token, observer, name, sender, std::move(handler)});
    lock.unlock();
    if (!known) {
        connect(observer, &QObject::destroyed, this, [this, observer] { forget(observer); },
                Qt::DirectConnection);
    }
    return token;
}

void NotificationCenter::forget(QObject *observer)
{
    QMutexLocker lock(&m_mutex);
    m_entries.removeIf([observer](const Entry &e) { return e.observer.isNull() || e.observer == observer; });
}

void NotificationCenter::removeObserver(QObject *observer)
{
    forget(observer);
}

void NotificationCenter::removeObserver(QObject *observer, const QString &name)
{
    QMutexLocker lock(&m_mutex);
    m_entries.removeIf([&](const Entry &e) { return e.observer == observer && e.name == name; });
}

void NotificationCenter::removeObserverToken(int token)
{
    QMutexLocker lock(&m_mutex);
    m_entries.removeIf([token](const Entry &e) { return e.token == token; });
}

void NotificationCenter::postNotification(const QString &name, const QObject *sender,
                                          const QVariantMap &userInfo)
{
    QList<Entry> targets;
    {
        QMutexLocker lock(&m_mutex);
        for (const Entry &e : std::as_const(m_entries)) {
            if (e.observer.isNull())
                continue;
            if (!e.name.isEmpty() && e.name != name)
                continue;
            if (e.sender && e.sender != sender)
                continue;
            targets.append(e);
        }
    }
    const Notification note{name, sender, userInfo};
    for (const Entry &e : std::as_const(targets)) {
        QObject *observer = e.observer.data();
        if (!observer)
            continue;
        const int token = e.token;
        // The registration may be removed between posting and a queued delivery.
        auto deliver = [this, token, handler = e.handler, note] {
            {
                QMutexLocker lock(&m_mutex);
                const bool live = std::any_of(m_entries.cbegin(), m_entries.cend(),
                                              [token](const Entry &x) { return x.token == token; });
                if (!live)
                    return;
            }
            handler(note);
        };
        if (observer->thread() == QThread::currentThread())
            deliver();
        else
            QMetaObject::invokeMethod(observer, std::move(deliver), Qt::QueuedConnection);
    }
}

void performOnMainThread(std::function<void()> work, QObject *context)
{
    QObject *target = context ? context : QCoreApplication::instance();
    if (!target)
        return;
    if (context && context->thread() != QCoreApplication::instance()->thread()) {
        // The context lives elsewhere: guard it, run on the application object.
        QPointer<QObject> guard(context);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, work = std::move(work)] {
                if (guard)
                    work();
            },
            Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(target, std::move(work), Qt::QueuedConnection);
}

void performOnMainThreadAndWait(const std::function<void()> &work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(app, work, Qt::BlockingQueuedConnection);
}
