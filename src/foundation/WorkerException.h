#pragma once
// How work on a worker thread fails: an exception whose reason names what failed.
// Stopping the work on request is a failure too, marked as a cancellation (the output
// engine's reason is "Cancel publish!"), so callers can tell it from an error.

#include <QByteArray>
#include <QString>
#include <exception>

class WorkerException : public std::exception
{
public:
    explicit WorkerException(const QString &reason, bool cancellation = false)
        : m_reason(reason), m_utf8(reason.toUtf8()), m_cancellation(cancellation)
    {
    }

    static WorkerException cancelled(const QString &reason) { return WorkerException(reason, true); }

    const QString &reason() const { return m_reason; }
    bool isCancellation() const { return m_cancellation; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_reason;
    QByteArray m_utf8;
    bool m_cancellation;
};
