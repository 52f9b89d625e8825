#include "publishing/BookCoverRenderQueue.h"

#include "foundation/AppLog.h"
#include "publishing/BookCoverProgram.h"

BookCoverRenderQueue::BookCoverRenderQueue(QObject *parent)
    : QObject(parent)
    , m_program(BookCoverProgram::getBookCoverExePath())
{
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        if (m_process) {
            AppLog::shared().log(QStringLiteral("cover maker: a render took too long and was stopped"));
            m_process->kill();
        }
    });
}

BookCoverRenderQueue::~BookCoverRenderQueue()
{
    m_waiting.reset();
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(3000);
        delete m_process;
    }
}

void BookCoverRenderQueue::request(const Request &request)
{
    if (!isRunning()) {
        start(request);
        return;
    }
    Request next = request;
    if (m_waiting) {
        next.forceSave = next.forceSave || m_waiting->forceSave;
        next.isEditMode = next.isEditMode || m_waiting->isEditMode;
    }
    m_waiting = next;
}

void BookCoverRenderQueue::cancel()
{
    m_waiting.reset();
    if (m_process)
        m_process->kill();
}

void BookCoverRenderQueue::start(const Request &request)
{
    ++m_runCount;
    m_process = new QProcess(this);
    m_process->setStandardOutputFile(QProcess::nullDevice());
    QProcess *process = m_process;
    connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
        if (process != m_process)
            return;
        const QString said = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
        const bool ok = status == QProcess::NormalExit && code == 0;
        finish(ok, ok ? QString()
                      : status != QProcess::NormalExit ? QStringLiteral("the cover maker was stopped")
                                                       : said.isEmpty() ? QStringLiteral("the cover maker ended with status %1").arg(code)
                                                                        : said);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && process == m_process)
            finish(false, QStringLiteral("cannot start %1: %2").arg(m_program, process->errorString()));
    });
    if (!request.isEditMode && m_timeLimitMs > 0)
        m_limit.start(m_timeLimitMs);
    emit runStarted(request.isEditMode);
    process->start(m_program, BookCoverProgram::arguments(request.inputFile, request.outputFile, request.configFile,
                                                         request.forceSave, request.isEditMode));
}

void BookCoverRenderQueue::finish(bool ok, const QString &error)
{
    m_limit.stop();
    if (m_process) {
        m_process->deleteLater();
        m_process = nullptr;
    }
    m_lastError = error;
    if (!ok)
        AppLog::shared().log(QStringLiteral("cover maker: %1").arg(error));
    emit runFinished(ok);
    if (m_waiting) {
        const Request next = *m_waiting;
        m_waiting.reset();
        start(next);
        return;
    }
    emit idle();
}
