#include "publishing/PublishRun.h"

#include "foundation/AppStrings.h"
#include "output/ConvertBookInfo.h"
#include "output/OutputOperation.h"
#include "output/packages/PublishPlugin.h"
#include "output/security/BookSecurity.h"
#include "platform/NotificationCenter.h"
#include "platform/OperationQueue.h"
#include "project/RecentProjectItem.h"
#include "templates/FlashTemplate.h"

#include <QDateTime>
#include <QFileInfo>

bool PublishRun::Result::isWritten() const
{
    return status == OutputOperation::StatusWritten;
}

PublishRun::PublishRun(QObject *parent) : QObject(parent), m_jobQueue(std::make_shared<OperationQueue>())
{
    NotificationCenter::defaultCenter()->addObserver(this, ConvertBookNotification, nullptr,
                                                     [this](const Notification &n) { takeProgress(n.userInfo); });
}

PublishRun::~PublishRun()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    if (m_job)
        m_job->disconnect(this);
    m_jobQueue->cancelAllOperations();
    m_jobQueue->waitUntilAllOperationsAreFinished();
    // A run that never reached its finish gives back what it moved aside.
    if (!m_backup.isEmpty())
        m_backup.restoreAll();
    m_backup.removeFolder();
}

PublishRun::StartOutcome PublishRun::start(const Setup &setup, Blockage *blockage)
{
    if (isBusy())
        return StartOutcome::Declined;
    m_backup.clearEntries();
    const PublishTargets targets(setup.folder, setup.record.strOutputName(),
                                 OutputKind::fromStored(setup.record.iOutputType()), setup.record.compressToZip(),
                                 setup.record.loadType());
    if (!setup.freshFolder) {
        const StartOutcome cleared = clearTargets(targets, blockage);
        if (cleared != StartOutcome::Running)
            return cleared;
    }
    m_targets = targets;
    m_record = setup.record;
    queueJob(setup);
    return StartOutcome::Running;
}

PublishRun::StartOutcome PublishRun::clearTargets(const PublishTargets &targets, Blockage *blockage)
{
    QStringList existingTargets;
    for (const QString &path : targets.targets()) {
        if (PublishBackup::pathExists(path))
            existingTargets << path;
    }
    QStringList existingCompanions;
    for (const QString &path : targets.companions()) {
        if (PublishBackup::pathExists(path))
            existingCompanions << path;
    }

    // The backup folder, emptied for this run.
    const bool haveBackupFolder = m_backup.prepare();

    // Nothing is moved before the owner agreed to replace everything in the way.
    for (const QString &path : existingTargets) {
        if (!m_ask || !m_ask(path, false))
            return StartOutcome::Declined;
    }
    if (existingTargets.isEmpty() && !existingCompanions.isEmpty()) {
        if (!m_ask || !m_ask(existingCompanions.first(), true))
            return StartOutcome::Declined;
    }

    // Everything goes aside; a failure puts back what was moved and stops.
    for (const QString &path : existingTargets + existingCompanions) {
        QString reason;
        if (!haveBackupFolder || !m_backup.moveAside(path, &reason)) {
            const QList<PublishBackup::Failure> failures = m_backup.restoreAll();
            if (blockage)
                *blockage = {path,
                             !reason.isEmpty()
                                 ? reason
                                 : loadAppString(QStringLiteral("OutputWindowD-No temporary folder could be made."),
                                                 QStringLiteral("No temporary folder could be made.")),
                             failures};
            return StartOutcome::Blocked;
        }
    }
    return StartOutcome::Running;
}

void PublishRun::handOverBook(OutputOperation &job, const Setup &setup, const ConvertParament &record)
{
    // The template decides whether the book is protected at all; a protected book gets
    // a fresh content key for every publish. Only the job's copy is changed: the book
    // keeps its settings (a users list stays for the next run).
    const BookParts parts = setup.parts.copy();
    BookSecurity &security = *parts.security();
    const QString securitySetting = setup.tmpl
        ? setup.tmpl->propertyValue(QStringLiteral("securitySetting"), QStringLiteral("No Security"))
        : QStringLiteral("No Security");
    if (securitySetting == QLatin1String("No Security"))
        security.setSecurityType(BookSecurity::NoSecurity);
    if (security.securityType() != BookSecurity::NoSecurity)
        security.generateRc4String();

    job.setFlashPageSource(setup.pageSource);
    job.setFlashTmpl(setup.tmpl);
    job.setBookParts(parts);
    job.setPdfSearch(setup.pdfSearch);
    job.setMobileSearch(setup.mobileSearch);
    job.setFmappPassword(QString());
    job.setMobileTemplate(setup.mobileTemplate);
    job.setConvertPara(record);
    job.setIsBookcaseMode(setup.bookcaseMode);
    job.setUserInfo(setup.userInfo);
    job.setShotFile(setup.shotFile);
}

void PublishRun::queueJob(const Setup &setup)
{
    m_isStart = true;
    m_taskID = QString::asprintf("%f", double(QDateTime::currentMSecsSinceEpoch()) / 1000.0);
    if (m_job)
        m_job->disconnect(this);
    m_job = m_makeJob ? m_makeJob() : std::make_shared<OutputOperation>();
    m_finishHandled = false;
    OutputOperation &job = *m_job;

    // The job works on its own copy of the record: the folder as checked, and for a
    // packed web folder the name "index" (the archive is renamed at the finish).
    ConvertParament record = setup.record;
    record.setStrOutputFolder(m_targets->folder());
    record.setStrOutputName(m_targets->engineName());
    handOverBook(job, setup, record);

    if (m_targets->kind().writer() == OutputKind::Writer::PluginPackage) {
        if (!m_convertPlugin)
            m_convertPlugin = std::make_shared<PublishPlugin>();
        m_convertPlugin->setStrWidth(setup.pluginWidth);
        m_convertPlugin->setStrHeight(setup.pluginHeight);
        m_convertPlugin->setStrVersion(setup.pluginVersion);
        m_convertPlugin->setStrID(setup.pluginID);
        job.setConvertPlugin(m_convertPlugin);
    }

    job.setTaskID(m_taskID);
    job.setIsProcess(true);
    OutputOperation *raw = m_job.get();
    connect(
        raw, &Operation::finished, this, [this, raw] { jobDidFinish(raw); }, Qt::QueuedConnection);
    m_jobQueue->addOperation(m_job);
}

void PublishRun::takeProgress(const QVariantMap &userInfo)
{
    if (!m_isStart || userInfo.value(QStringLiteral("id")).toString() != m_taskID)
        return;
    bool known = false;
    const int type = userInfo.value(QStringLiteral("type")).toInt(&known);
    emit progressed(userInfo.value(QStringLiteral("index")).toLongLong(),
                    userInfo.value(QStringLiteral("count")).toLongLong(), known ? type : -1);
}

void PublishRun::cancel()
{
    if (!m_isStart)
        return;
    m_isStart = false;
    if (m_job)
        m_job->cancel();
    m_jobQueue->cancelAllOperations();
}

void PublishRun::jobDidFinish(OutputOperation *job)
{
    if (job != m_job.get() || m_finishHandled)
        return;
    finish();
}

void PublishRun::finish()
{
    m_finishHandled = true;
    m_isStart = false;
    Result result;
    try {
        result = settle();
    } catch (const std::exception &e) {
        // Whatever the finish did not get to: nothing stays moved aside.
        result.status = OutputOperation::StatusFailed;
        result.kind = m_targets->kind();
        result.failure = WorkerException(QString::fromLocal8Bit(e.what()));
        result.restoreFailures << m_backup.restoreAll();
    }
    emit finished(result);
}

PublishRun::Result PublishRun::settle()
{
    const OutputOperation &job = *m_job;
    const PublishTargets &targets = *m_targets;
    Result result;
    result.status = job.status();
    result.kind = targets.kind();
    result.fileInfoError = targets.kind().writer() == OutputKind::Writer::Executable && job.isFileInfoError();
    if (result.status == OutputOperation::StatusFailed)
        result.failure = job.raiseException();

    // A packed web folder gets the user's name once it is written; what was moved aside
    // goes back, after success only where the new book left room.
    result.projectFilePath = job.projectFilePath();
    if (result.isWritten()) {
        if (targets.packsWebFolder())
            renameEngineArchive(result);
        result.restoreFailures = m_backup.settleAfterSuccess();
    } else {
        result.restoreFailures = m_backup.restoreAll();
        return result;
    }

    result.reportPath = result.projectFilePath;
    if (targets.kind().writer() == OutputKind::Writer::WebFolder && !targets.packsWebFolder())
        result.reportPath = result.projectFilePath + QLatin1Char('/') + targets.name() + QLatin1Char('.')
            + targets.kind().extension(false);

    // The recent list, with the kind of book, so that it opens as a published book
    // (a web folder by its page).
    if (m_record.loadType() != 3)
        RecentProjectItem(m_record.strTitle(), result.reportPath, targets.kind().number()).saveToFile();
    return result;
}

void PublishRun::renameEngineArchive(Result &result)
{
    const PublishTargets &targets = *m_targets;
    const QString archive = result.projectFilePath.isEmpty() ? targets.engineArchive() : result.projectFilePath;
    result.projectFilePath = archive;
    if (targets.name() == QLatin1String(PublishTargets::kArchiveBookName))
        return;
    const QString named = targets.target();
    // The older archive of that name was moved aside with the owner's consent; anything
    // that turned up there since is not overwritten.
    QString reason;
    if (!PublishBackup::pathExists(named) && PublishBackup::moveItem(archive, named, {}, &reason)) {
        result.projectFilePath = named;
        return;
    }
    result.unrenamedArchive = archive;
    result.renameProblem = !reason.isEmpty() ? reason
                                             : loadAppString(QStringLiteral("OutputWindowD-\"%1\" already exists."),
                                                             QStringLiteral("\"%1\" already exists."))
                                                   .arg(QFileInfo(named).fileName());
}
