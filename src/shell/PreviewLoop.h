#pragma once
// The live preview loop: changes set bits in the preview-change flag, and the loop
// turns a set flag into one rebuild of the preview book on a worker thread, when the
// rebuild is due (its own timer; tick() checks at once).
//
// Rebuilds coalesce. A rebuild starts only once the book has been left alone for
// settleInterval() (so a burst of quick changes gives one rebuild), or once a change
// has waited maximumDelay() (so a long slider drag still shows now and then). At most
// one rebuild runs at a time; changes made meanwhile give one more rebuild after it.
// Changes of design settings alone (PreviewChange::Settings) wait settingsSettleInterval()
// instead: their rebuild is short and the view mostly takes them in place, and those that
// come while it runs still gather into the one after it.
// The window never waits for a rebuild, except in stopAndWait() (saving moves the
// page pictures, and quitting must not leave a worker behind).
//
// A failed rebuild reports its message once and is not retried until the next change.

#include "shell/PreviewBuilder.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>

class PreviewLoop : public QObject
{
    Q_OBJECT
public:
    explicit PreviewLoop(QObject *parent = nullptr);
    ~PreviewLoop() override; // stops and waits for a running rebuild

    void setBuilder(std::shared_ptr<PreviewBuilder> builder) { m_builder = std::move(builder); }
    QString previewFolder() const { return m_folder; }
    void setPreviewFolder(const QString &folder) { m_folder = folder; }

    int settleInterval() const { return m_settle; }
    void setSettleInterval(int milliseconds) { m_settle = milliseconds; }
    int settingsSettleInterval() const { return m_settingsSettle; }
    void setSettingsSettleInterval(int milliseconds) { m_settingsSettle = milliseconds; }
    int maximumDelay() const { return m_maxDelay; }
    void setMaximumDelay(int milliseconds) { m_maxDelay = milliseconds; }

    int previewChangeFlag() const { return m_flag; }
    // Adds bits to the flag (PreviewChange; All for everything).
    void setPreviewChangeFlag(int bits);
    // Forgets pending changes (a book was closed).
    void clearPreviewChangeFlag();

    // Starts a rebuild when one is due. Returns true when one was started.
    bool tick();
    // Starts a rebuild of pending changes now, without waiting for them to settle.
    bool buildNow();

    bool isBuilding() const { return m_running; }
    int buildCount() const { return m_builds; }
    // Asks a running rebuild to stop; its changes stay pending.
    void cancel();
    // cancel() and waits for the worker to end.
    void stopAndWait();

signals:
    void buildStarted(int changeFlags);
    // settings: what the rebuild wrote for the viewer (PreviewBuildResult::settings).
    void previewReady(const QString &folder, const PreviewSettings &settings);
    void previewFailed(const QString &message);

private:
    void start();
    void onFinished(quint64 generation);
    void conclude(const PreviewBuildResult &result);
    // Sets the timer for when the pending changes are due.
    void schedule();
    // How long the pending changes wait for more.
    int settle() const { return m_flag == PreviewChange::Settings ? m_settingsSettle : m_settle; }

    std::shared_ptr<PreviewBuilder> m_builder;
    QString m_folder;
    int m_settle = 100;
    int m_settingsSettle = 5;
    int m_maxDelay = 500;
    int m_flag = 0;
    int m_buildingFlags = 0;
    QElapsedTimer m_sinceChange;
    QElapsedTimer m_sincePending;
    bool m_running = false;
    int m_builds = 0;
    std::shared_ptr<std::atomic_bool> m_stop;
    QTimer m_due;
    // The running job; released here on the main thread, where its copies were made.
    std::shared_ptr<PreviewJob> m_job;
    QFuture<PreviewBuildResult> m_future;
    quint64 m_generation = 0; // of the running rebuild; late reports of older ones are dropped
};
