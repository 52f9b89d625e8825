#pragma once
// Process-wide notifications: a name, a sending object and a user-info dictionary.
//
// Observers are QObjects. A notification is delivered to an observer on the
// observer's own thread: directly when it is posted there, queued otherwise, so a
// worker can post progress while the handlers touch the window on the main thread.
// An observer that is destroyed is forgotten; queued deliveries to it are dropped.

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>

struct Notification
{
    QString name;
    const QObject *object = nullptr; // the sender; compare, never dereference from a worker
    QVariantMap userInfo;
};

class NotificationCenter : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(const Notification &)>;

    static NotificationCenter *defaultCenter();

    // Calls handler for notifications called name (every name when empty) from
    // sender (every sender when null). Returns a token for removeObserver.
    int addObserver(QObject *observer, const QString &name, const QObject *sender, Handler handler);
    void removeObserver(QObject *observer);                       // every registration
    void removeObserver(QObject *observer, const QString &name);  // registrations for one name
    void removeObserverToken(int token);

    // Thread-safe; may be called from any thread.
    void postNotification(const QString &name, const QObject *sender = nullptr,
                          const QVariantMap &userInfo = {});

private:
    struct Entry
    {
        int token = 0;
        QPointer<QObject> observer;
        QString name;
        const QObject *sender = nullptr;
        Handler handler;
    };

    void forget(QObject *observer);

    QMutex m_mutex;
    QList<Entry> m_entries;
    int m_nextToken = 1;
};

// Runs work on the main thread without waiting for it. When context is given and
// is destroyed before the work runs, the work is dropped.
void performOnMainThread(std::function<void()> work, QObject *context = nullptr);

// Runs work on the main thread and waits for it (directly when already there).
void performOnMainThreadAndWait(const std::function<void()> &work);
