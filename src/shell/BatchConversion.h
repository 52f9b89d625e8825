#pragma once
// Converts rows of a batch one after another with the program's own import and publish
// run: a PDF or pictures are imported into a new book (BookImportTask), a project is
// opened, and the book is written with the row's output settings (PublishRun), its phone
// version with the phone template the row loaded from its mobile settings file.
//
// Each row reports its progress (import first, then writing) and its end in the list
// (BatchList) and through the signals; a row that fails is marked with the reason and
// the next one goes on. cancel() stops the row under way at once (its import or its
// job, which leave nothing half-made behind) and starts no further row; books written
// before stay as they are.
//
// Main thread only; the work runs on the import's and the publish run's own threads.

#include "publishing/PublishRun.h"

#include <QObject>
#include <QPointer>
#include <memory>

class BatchList;
class BookImportTask;
class BookSession;
class FlashTemplate;

class BatchConversion : public QObject
{
    Q_OBJECT
public:
    explicit BatchConversion(BatchList *list, QObject *parent = nullptr);
    ~BatchConversion() override;

    // Asked before an older book is replaced (see PublishRun); unset: never replaced,
    // and the row fails saying so.
    void setReplaceQuestion(PublishRun::ReplaceQuestion ask) { m_ask = std::move(ask); }
    // Threads of each import (0: one per core).
    void setImportThreads(int threads) { m_importThreads = threads; }

    // Converts rows in that order; false (nothing starts) while a conversion runs or
    // when no row is given.
    bool start(const QList<int> &rows);
    void cancel();
    bool isRunning() const { return m_running; }
    bool isCancelled() const { return m_cancelled; }
    // The row under way, -1 when none.
    int currentRow() const { return m_running ? m_row : -1; }

signals:
    // The row's percent done and what it does now.
    void rowProgressed(int row, int percent, const QString &text);
    // Percent of all the rows of this conversion.
    void overallProgressed(int percent);
    // A row ended: written (message: the book's page or file), or not (message: why;
    // empty when cancelled).
    void rowFinished(int row, bool written, const QString &message);
    void finished(bool cancelled);

private:
    void startNextRow();
    void importFinished(bool ok);
    void publishRow();
    void publishProgressed(qint64 index, qint64 count, int type);
    void publishFinished(const PublishRun::Result &result);
    void rowEnded(bool written, const QString &message);
    void showProgress(int percent, const QString &text);

    QPointer<BatchList> m_list;
    PublishRun::ReplaceQuestion m_ask;
    int m_importThreads = 0;
    QList<int> m_rows;
    int m_next = 0;
    int m_row = -1;
    bool m_running = false;
    bool m_cancelled = false;
    // Destroyed in reverse order: the job, then the import, then the book they read.
    std::unique_ptr<BookSession> m_session;
    std::shared_ptr<FlashTemplate> m_mobileTemplate;
    std::unique_ptr<BookImportTask> m_import;
    PublishRun m_run;
};
