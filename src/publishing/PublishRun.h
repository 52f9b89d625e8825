#pragma once
// One publish of the open book at a time, without a window: it clears the way (older
// items the new book would replace are moved aside once the owner agreed), hands an
// output job everything it needs and runs it on a queue of its own, passes on the
// job's progress, lets the owner cancel, and at the end puts back or drops what was
// moved aside, records the book in the recent list and reports the result.
//
// The publish dialog drives it: it checks its form, makes the folder, answers the
// replace questions (replaceQuestion), calls start(), shows progressed() and, on
// finished(), the failures and the report. Any number of runs may follow one
// another; a failed or cancelled run leaves the older book where it was.
//
// Main thread only. The job runs on a worker of the run's queue; its progress and its
// end come back to the main thread.

#include "batch/ConvertParament.h"
#include "foundation/WorkerException.h"
#include "online/OnlineUserInf.h"
#include "output/BookParts.h"
#include "output/OutputKind.h"
#include "publishing/PublishBackup.h"
#include "publishing/PublishTargets.h"

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

class FlashPageSource;
class FlashTemplate;
class OperationQueue;
class OutputOperation;
class PDFSearch;
class PublishPlugin;

class PublishRun : public QObject
{
    Q_OBJECT
public:
    // What a run writes and from what.
    struct Setup
    {
        // The dialog's record as saved: kind, name, title, switches, load type.
        ConvertParament record;
        // The output folder, standardised and existing.
        QString folder;
        // Made for this run: it holds no older book, nothing is moved aside.
        bool freshFolder = false;

        // The book. The job copies what it is given when it is set up.
        FlashPageSource *pageSource = nullptr;
        const FlashTemplate *tmpl = nullptr;
        const FlashTemplate *mobileTemplate = nullptr;
        const PDFSearch *pdfSearch = nullptr;
        const PDFSearch *mobileSearch = nullptr;
        BookParts parts;
        bool bookcaseMode = false;
        OnlineUserInf userInfo;
        QString shotFile;

        // The web content system packages: size with unit ("100%", "480px"), version, id.
        QString pluginWidth;
        QString pluginHeight;
        QString pluginVersion;
        QString pluginID;
    };

    enum class StartOutcome {
        Running,  // the job is queued; finished() follows
        Declined, // the owner did not want an older item replaced: nothing was moved
        Blocked,  // an older item could not be moved aside: everything moved is back
    };

    // Why a run was blocked.
    struct Blockage
    {
        QString path;   // the item that could not be moved aside
        QString reason;
        QList<PublishBackup::Failure> restoreFailures;
    };

    struct Result
    {
        int status = 0; // OutputOperation's: written, failed, cancelled (or unknown)
        OutputKind kind;
        // The published main file: the book folder of a web folder, else the file.
        QString projectFilePath;
        // What the report shows: the page of a web folder, else the main file.
        QString reportPath;
        // Why the job failed, when it said.
        std::optional<WorkerException> failure;
        // The executable met file names it could not store.
        bool fileInfoError = false;
        // A packed web folder that kept the engine's archive name (its path), and why.
        QString unrenamedArchive;
        QString renameProblem;
        // Older items that could not be put back (they stay in the backup folder).
        QList<PublishBackup::Failure> restoreFailures;

        bool isWritten() const;
    };

    // Asked before an older item is replaced; true to replace it. companion: the item
    // is a folder of an older web book ("files", "mobile"), asked about only when no
    // target of the same name is in the way.
    using ReplaceQuestion = std::function<bool(const QString &path, bool companion)>;
    using JobMaker = std::function<std::shared_ptr<OutputOperation>()>;

    explicit PublishRun(QObject *parent = nullptr);
    // Stops a job still running and puts back what it moved aside.
    ~PublishRun() override;

    // Gives job copies of the book of setup and record, as every run does: a book
    // protected by its template gets a fresh content key. Main thread.
    static void handOverBook(OutputOperation &job, const Setup &setup, const ConvertParament &record);

    // Unset: every replacement is declined.
    void setReplaceQuestion(ReplaceQuestion ask) { m_ask = std::move(ask); }
    // Unset: the program's own output job.
    void setJobMaker(JobMaker maker) { m_makeJob = std::move(maker); }

    // Clears the way and queues the job. A run never restores what an earlier run
    // moved aside; while a run is under way (isBusy) nothing happens (Declined).
    StartOutcome start(const Setup &setup, Blockage *blockage = nullptr);
    // Tells the running job to stop and returns at once; finished() (cancelled) follows
    // once the job has ended. Progress is dropped from now on.
    void cancel();

    // A job is running and has not been cancelled.
    bool isStart() const { return m_isStart; }
    // From start() until finished() was emitted: a job runs or a cancelled one is ending.
    bool isBusy() const { return !m_finishHandled; }
    // The identity of the current run; progress of other runs is ignored.
    QString taskID() const { return m_taskID; }
    // The job of the current or last run.
    std::shared_ptr<OutputOperation> job() const { return m_job; }
    // The package description of the web content system kinds, made by the first such
    // run and kept for the next ones.
    std::shared_ptr<PublishPlugin> convertPlugin() const { return m_convertPlugin; }
    PublishBackup &backup() { return m_backup; }
    const PublishBackup &backup() const { return m_backup; }

    // A progress notification of an output job ("id", "index", "count", "type"):
    // passed on as progressed() while this run's job runs, dropped otherwise.
    void takeProgress(const QVariantMap &userInfo);

signals:
    // type: the step (ConvertStep), -1 when the notification named none.
    void progressed(qint64 index, qint64 count, int type);
    void finished(const PublishRun::Result &result);

private:
    StartOutcome clearTargets(const PublishTargets &targets, Blockage *blockage);
    void queueJob(const Setup &setup);
    void jobDidFinish(OutputOperation *job);
    void finish();
    Result settle();
    void renameEngineArchive(Result &result);

    ReplaceQuestion m_ask;
    JobMaker m_makeJob;
    std::shared_ptr<OperationQueue> m_jobQueue;
    std::shared_ptr<OutputOperation> m_job;
    std::shared_ptr<PublishPlugin> m_convertPlugin;
    PublishBackup m_backup;
    std::optional<PublishTargets> m_targets; // of the running or last run
    ConvertParament m_record;
    QString m_taskID;
    bool m_isStart = false;
    bool m_finishHandled = true;
};
