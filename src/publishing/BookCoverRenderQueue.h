#pragma once
// Runs of the cover maker, one at a time. A request made while a run is going on waits,
// and a later request replaces the waiting one (the latest wins; a waiting request's
// "picture changed" and "edit" wishes are kept in the one that replaces it). Runs are
// child processes watched from the event loop: nothing blocks the caller.
//
// Renders longer than renderTimeLimitMs are stopped; edits (the program's own window)
// run as long as the user keeps them open. cancel() stops the run and drops the
// waiting request; the run then ends as failed.

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <optional>

class BookCoverRenderQueue : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QString inputFile;
        QString outputFile;
        QString configFile;
        bool forceSave = false;
        bool isEditMode = false;
    };

    explicit BookCoverRenderQueue(QObject *parent = nullptr);
    ~BookCoverRenderQueue() override; // stops a run still going on

    // The program started for each run (BookCoverProgram::getBookCoverExePath() by default).
    QString program() const { return m_program; }
    void setProgram(const QString &path) { m_program = path; }
    int renderTimeLimitMs() const { return m_timeLimitMs; }
    void setRenderTimeLimitMs(int ms) { m_timeLimitMs = ms; }

    void request(const Request &request);
    bool isRunning() const { return m_process != nullptr; }
    // Running, or a request waiting.
    bool isBusy() const { return isRunning() || m_waiting.has_value(); }
    void cancel();
    // How many runs were started.
    int runCount() const { return m_runCount; }
    // Why the last run failed (empty after a success).
    QString lastError() const { return m_lastError; }

signals:
    void runStarted(bool isEditMode);
    // A run ended: ok when the program wrote the cover (exit status 0).
    void runFinished(bool ok);
    // Nothing runs and nothing waits any more.
    void idle();

private:
    void start(const Request &request);
    void finish(bool ok, const QString &error);

    QString m_program;
    int m_timeLimitMs = 120000;
    QProcess *m_process = nullptr;
    QTimer m_limit;
    std::optional<Request> m_waiting;
    int m_runCount = 0;
    QString m_lastError;
};
