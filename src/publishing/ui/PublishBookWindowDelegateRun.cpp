// The publish run of the publish dialog: the checks of the Publish button, the phone
// pages, the targets moved aside, the output job with its progress and cancel, and
// the finish.

#include "publishing/ui/PublishBookWindowDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/ImageUtility.h"
#include "output/security/BookSecurity.h"
#include "output/narration/GenerateAssistant.h"
#include "output/OutputOperation.h"
#include "output/packages/PublishPlugin.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include "platform/NotificationCenter.h"
#include "platform/OperationQueue.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWindow.h"
#include "project/AppSettings.h"
#include "project/RecentProjectItem.h"
#include "publishing/PhonePageSize.h"
#include "publishing/PublishProgress.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>


namespace {

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

// ---------------------------------------------------------------------------------
// Checks and preparations

void PublishBookWindowDelegate::onPublish()
{
    if (m_isStart)
        return;

    // 1. A bookcase cannot become a Windows executable.
    if (m_isBookcaseMode && m_convertPara.iOutputType() == 3) {
        LogAlert::alertMessage(loadAppString(QStringLiteral("Message tips:"), QStringLiteral("Message tips:")),
                               loadAppString(QStringLiteral("Convert bookcase into *.exe is not supported!"),
                                             QStringLiteral("Convert bookcase into *.exe is not supported!")));
        return;
    }

    // 2. Name and title.
    if (!checkNameAndTitle())
        return;
    const QString name = txtOutputName->text();
    const QString nameProblem = PublishTargets::nameProblem(name);
    if (!nameProblem.isEmpty()) {
        LogAlert::alertMessage(
            nameProblem,
            loadAppString(QStringLiteral("OutputWindowD-A file name cannot be \".\" or \"..\" or hold \"/\"."),
                          QStringLiteral("A file name cannot be \".\" or \"..\" or hold \"/\".")));
        txtOutputName->setFocus();
        txtOutputName->selectAll();
        return;
    }

    // 3. Phone pages.
    askForPhonePages();

    // 4. Saving.
    saveConvertPara();
    saveDictionaryToFile();

    // 5. Folder. A run never restores what an earlier run moved aside.
    m_backup.clearEntries();
    const QString folder = PublishTargets::standardizedFolder(txtOutputFolder->text());
    bool created = false;
    if (!prepareOutputFolder(folder, &created))
        return;

    // 6. to 9. Targets, the backup folder, the replace questions and the companions.
    // A folder made just now holds no older book.
    PublishTargets targets(folder, name, m_convertPara.iOutputType(), m_convertPara.compressToZip(),
                           m_convertPara.loadType());
    if (!created && !moveTargetsAside(targets))
        return;

    // 10. to 15.
    startJob(targets);
}

bool PublishBookWindowDelegate::checkNameAndTitle()
{
    const bool noName = txtOutputName->text().isEmpty();
    const bool noTitle = txtTitle->text().isEmpty();
    if (!noName && !noTitle)
        return true;

    QStringList lines;
    int number = 0;
    if (noName)
        lines << loadAppString(QStringLiteral("OutputWindowD-%i.Input the file name!"),
                               QStringLiteral("%i.Input the file name!"))
                     .replace(QLatin1String("%i"), QString::number(++number));
    if (noTitle)
        lines << loadAppString(QStringLiteral("OutputWindowD-%i.Input the title recommend."),
                               QStringLiteral("%i.Input the title recommend."))
                     .replace(QLatin1String("%i"), QString::number(++number));
    AlertRequest request;
    request.messageText = loadAppString(QStringLiteral("OutputWindowD-Warning"), QStringLiteral("Warning"));
    request.informativeText = lines.join(QLatin1Char('\n'));
    request.style = AlertStyle::Warning;
    request.buttons = {noName ? loadAppString(QStringLiteral("OutputWindowD-Go Back"), QStringLiteral("Go Back"))
                              : loadAppString(QStringLiteral("OutputWindowD-Ignore"), QStringLiteral("Ignore")),
                       loadAppString(QStringLiteral("OutputWindowD-Default Input"), QStringLiteral("Default Input"))};
    request.defaultButton = 0;
    request.escapeButton = AlertRequest::NoButton;
    const int pressed = LogAlert::runAlert(request, window());

    if (pressed == 1) { // Default Input: the user publishes again
        if (noName)
            txtOutputName->setText(QStringLiteral("Index"));
        if (noTitle)
            txtTitle->setText(QStringLiteral("Demo"));
        return false;
    }
    if (noName) {
        txtOutputName->setFocus();
        txtOutputName->selectAll();
        return false;
    }
    return true; // Ignore: published without a title
}

void PublishBookWindowDelegate::askForPhonePages()
{
    if (!m_flashPageSource || !m_flashPageSource->phonePages().isEmpty() || selectedLoadType() == 2)
        return;
    if (!LogAlert::askOKCancel(
            loadAppString(QStringLiteral("OutputWindowD-No any images for mobile version!"),
                          QStringLiteral("No any images for mobile version!")),
            loadAppString(QStringLiteral("OutputWindowD-Press enter key and try to generate the mobile version."),
                          QStringLiteral("Press enter key and try to generate the mobile version.")))) {
        m_convertPara.setLoadType(2);
        selectLoadType(2);
        return;
    }
    makePhonePages();
}

void PublishBookWindowDelegate::makePhonePages()
{
    lblInfo->setText(
        loadAppString(QStringLiteral("Generating page for mobile"), QStringLiteral("Generating page for mobile")));
    _infoView->show();
    m_progressAnimating = true;
    setProgressIndeterminate(true);
    const auto endProgress = [this] {
        lblInfo->clear();
        _infoView->hide();
        m_progressAnimating = false;
        setProgressIndeterminate(m_progressIndeterminate);
    };

    if (m_runServices.saveSnapTrustPath)
        m_runServices.saveSnapTrustPath();
    const QString workspace = createUniqueTempFolder();
    QStringList pageFiles;
    for (const FlashPagePtr &page : m_flashPageSource->pages())
        pageFiles << (page ? page->pageFilePath() : QString());

    const QString pageWidth = m_flashTmpl
        ? m_flashTmpl->propertyValue(QStringLiteral("pageWidth"), QStringLiteral("1080"))
        : QStringLiteral("1080");
    const QString pageHeight = m_flashTmpl
        ? m_flashTmpl->propertyValue(QStringLiteral("pageHeight"), QStringLiteral("1440"))
        : QStringLiteral("1440");
    const double ratio = PhonePageSize::pageRatio(pageWidth, pageHeight);
    const int dpi = ImageUtility::getImageDPIByLevel(AppSettings::shareInstance()->importQualityLevel());
    const QSizeF size = PhonePageSize::sizeForRatio(ratio, dpi);

    // The window goes on drawing while the pictures are made, but takes no input.
    QStringList images;
    if (m_runServices.batchSnap && !workspace.isEmpty() && !pageFiles.isEmpty()) {
        window()->setEnabled(false);
        setWorkerRunning(true);
        images = m_runServices.batchSnap(pageFiles, workspace, qint64(size.width()), qint64(size.height()));
        setWorkerRunning(false);
        window()->setEnabled(true);
    }
    std::optional<QStringList> reviewed = images;
    if (!images.isEmpty() && m_runServices.reviewPhonePages)
        reviewed = m_runServices.reviewPhonePages(pageFiles, images, size.width(), size.height());

    // Entry i of the phone pages belongs to page i + 1: only the pictures up to the first
    // one that was not made go in; the output engine makes the others.
    int taken = 0;
    if (reviewed) {
        for (int i = 0; i < reviewed->size(); ++i) {
            const QString path = reviewed->at(i);
            if (path.isEmpty() || !QFileInfo(path).isFile())
                break;
            auto page = std::make_shared<FlashPageImage>();
            page->setPageFilePath(path);
            page->setPageIndex(i + 1);
            m_flashPageSource->phonePages().append(page);
            ++taken;
        }
    }
    if (taken == 0 && !workspace.isEmpty())
        removeTree(workspace);
    endProgress();
}

bool PublishBookWindowDelegate::prepareOutputFolder(const QString &folder, bool *created)
{
    const PublishTargets::FolderState state = PublishTargets::prepareFolder(folder);
    *created = state.outcome == PublishTargets::FolderState::Created;
    // The folder and the system's reason go with every refusal, as its details.
    const QString details = QDir::toNativeSeparators(folder) + QLatin1Char('\n') + state.reason;
    switch (state.outcome) {
    case PublishTargets::FolderState::Ready:
    case PublishTargets::FolderState::Created:
        return true;
    case PublishTargets::FolderState::NotAFolder:
        LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-\"%1\" is a file, not a folder."),
                                             QStringLiteral("\"%1\" is a file, not a folder."))
                                   .arg(folder),
                               loadAppString(QStringLiteral("OutputWindowD-Please choose a folder for the book."),
                                             QStringLiteral("Please choose a folder for the book.")),
                               details);
        break;
    case PublishTargets::FolderState::CannotCreate:
        LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-Failed to Create the directory !"),
                                             QStringLiteral("Failed to Create the directory !")),
                               loadAppString(QStringLiteral("OutputWindowD-Please check it again!"),
                                             QStringLiteral("Please check it again!")),
                               details);
        break;
    case PublishTargets::FolderState::NotWritable:
        LogAlert::alertMessage(
            loadAppString(
                QStringLiteral("OutputWindowD-The application can't publish the book data to the selected folder!"),
                QStringLiteral("The application can't publish the book data to the selected folder!")),
            loadAppString(QStringLiteral("OutputWindowD-Please try the folder \"~/Documents/\"."),
                          QStringLiteral("Please try the folder \"~/Documents/\".")),
            details);
        return false;
    }
    txtOutputFolder->setFocus();
    txtOutputFolder->selectAll();
    return false;
}

bool PublishBookWindowDelegate::moveTargetsAside(const PublishTargets &targets)
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

    // 7. The backup folder, emptied for this run.
    const bool haveBackupFolder = m_backup.prepare();

    // 8. Nothing is moved before the user agreed to replace everything in the way.
    const QString folderName = fileNameOf(targets.folder());
    for (const QString &path : existingTargets) {
        const bool yes = LogAlert::askYesNo(
            loadAppString(QStringLiteral("OutputWindowD-\"%@\" already exists. Do you want to replace it?"),
                          QStringLiteral("\"%@\" already exists. Do you want to replace it?"))
                .replace(QLatin1String("%@"), fileNameOf(path)),
            loadAppString(QStringLiteral("OutputWindowD-A project with the same name already exists in the folder "
                                         "\"%@\". Replacing it will overwrite its current contents."),
                          QStringLiteral("A project with the same name already exists in the folder \"%@\". Replacing "
                                         "it will overwrite its current contents."))
                .replace(QLatin1String("%@"), folderName));
        if (!yes)
            return false;
    }
    if (existingTargets.isEmpty() && !existingCompanions.isEmpty()) {
        // The "files" question, also for a "mobile" folder alone.
        const QString companion = fileNameOf(existingCompanions.first());
        QString message = loadAppString(
            QStringLiteral(
                "OutputWindowD-\"files\" folder already exists in the folder \"%@\". Do you want to replace it?"),
            QStringLiteral("\"files\" folder already exists in the folder \"%@\". Do you want to replace it?"));
        if (companion != QLatin1String("files"))
            message.replace(QLatin1String("\"files\""), QLatin1Char('"') + companion + QLatin1Char('"'));
        const bool yes = LogAlert::askYesNo(
            message.replace(QLatin1String("%@"), folderName),
            loadAppString(QStringLiteral("OutputWindowD-Another project already exists in the folder \"%@\".Replacing "
                                         "it will overwrite its current contents."),
                          QStringLiteral("Another project already exists in the folder \"%@\".Replacing it will "
                                         "overwrite its current contents."))
                .replace(QLatin1String("%@"), folderName));
        if (!yes)
            return false;
    }

    // 8. and 9. Move everything aside; a failure puts back what was moved and stops.
    const QStringList toMove = existingTargets + existingCompanions;
    for (const QString &path : toMove) {
        QString reason;
        if (!haveBackupFolder || !m_backup.moveAside(path, &reason)) {
            const QList<PublishBackup::Failure> failures = m_backup.restoreAll();
            LogAlert::alertMessage(
                loadAppString(QStringLiteral("OutputWindowD-\"%1\" could not be moved out of the way."),
                              QStringLiteral("\"%1\" could not be moved out of the way."))
                    .arg(path),
                reason.isEmpty() ? loadAppString(QStringLiteral("OutputWindowD-No temporary folder could be made."),
                                                 QStringLiteral("No temporary folder could be made."))
                                 : reason);
            showRestoreFailures(failures);
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------
// The job

void PublishBookWindowDelegate::startJob(const PublishTargets &targets)
{
    // 10. Start.
    setButtonsStatus(false);
    lblInfo->clear();
    setProgressIndeterminate(true);
    m_isStart = true;
    setWorkerRunning(true);
    m_taskID = QString::asprintf("%f", double(QDateTime::currentMSecsSinceEpoch()) / 1000.0);
    m_runTargets = targets;
    m_runKind = m_convertPara.iOutputType();
    if (m_job)
        m_job->disconnect(this);
    m_job = m_runServices.makeJob ? m_runServices.makeJob() : std::make_shared<OutputOperation>();
    m_jobFinishHandled = false;
    OutputOperation &job = *m_job;

    // 11. Security: the template decides whether the book is protected at all; a
    // protected book gets a fresh content key for every publish. Only the job's copy
    // is changed: the book keeps its settings (a users list stays for the next run).
    const BookParts parts = m_bookParts.copy();
    BookSecurity &security = *parts.security();
    const QString securitySetting = m_flashTmpl
        ? m_flashTmpl->propertyValue(QStringLiteral("securitySetting"), QStringLiteral("No Security"))
        : QStringLiteral("No Security");
    if (securitySetting == QLatin1String("No Security"))
        security.setSecurityType(BookSecurity::NoSecurity);
    if (security.securityType() != BookSecurity::NoSecurity)
        security.generateRc4String();

    // 12. The job works on its own copy of the record: the folder as checked, and for a
    // packed web folder the name "index" (the archive is renamed at the finish).
    ConvertParament record = m_convertPara;
    record.setStrOutputFolder(targets.folder());
    record.setStrOutputName(targets.engineName());

    // 13.
    job.setFlashPageSource(m_flashPageSource);
    job.setFlashTmpl(m_flashTmpl);
    job.setBookParts(parts);
    job.setPdfSearch(m_pdfSearch);
    job.setMobileSearch(m_mobileSearch);
    job.setFmappPassword(QString());
    job.setMobileTemplate(m_mobileTemplate);
    job.setConvertPara(record);
    job.setIsBookcaseMode(m_isBookcaseMode);
    job.setUserInfo(m_userInfo);
    job.setShotFile(m_shotFile);

    // 14. Web content system packages.
    const int kind = m_runKind;
    if (kind == 6 || kind == 7 || kind == 8) {
        if (!m_convertPlugin)
            m_convertPlugin = std::make_shared<PublishPlugin>();
        m_convertPlugin->setStrWidth(txtWidth->text() + comUnit->currentText());
        m_convertPlugin->setStrHeight(txtHeight->text() + comUnit1->currentText());
        if (kind == 7) {
            m_convertPlugin->setStrVersion(getJoomlaVersion());
            m_convertPlugin->setStrID(getJoomlaID());
        } else if (kind == 8) {
            m_convertPlugin->setStrVersion(getDrupalVersion());
            m_convertPlugin->setStrID(getDrupalID());
        } else {
            m_convertPlugin->setStrVersion(QStringLiteral("1.0"));
            m_convertPlugin->setStrID(QStringLiteral("1"));
        }
        job.setConvertPlugin(m_convertPlugin);
    }

    // 15.
    job.setTaskID(m_taskID);
    job.setIsProcess(true);
    OutputOperation *raw = m_job.get();
    connect(
        raw, &Operation::finished, this, [this, raw] { jobDidFinish(raw); }, Qt::QueuedConnection);
    m_jobQueue->addOperation(m_job);
}

void PublishBookWindowDelegate::jobDidFinish(OutputOperation *job)
{
    if (job != m_job.get() || m_jobFinishHandled)
        return;
    m_isStart = false;
    if (m_cancelWaiting)
        return; // the cancel finishes the run once its wait is over
    finishRun();
}

void PublishBookWindowDelegate::finishRun()
{
    m_jobFinishHandled = true;
    try {
        publishBookFinished();
    } catch (const std::exception &) {
        errorWhileConver();
    }
}

void PublishBookWindowDelegate::errorWhileConver()
{
    if (m_isStart) {
        onCancel();
        return;
    }
    // Whatever the finish did not get to: nothing stays moved aside, the dialog is usable.
    if (!m_backup.isEmpty())
        showRestoreFailures(m_backup.restoreAll());
    setWorkerRunning(false);
    setButtonsStatus(true);
}

void PublishBookWindowDelegate::ConvertMSG(const Notification &notification)
{
    innerConvertMSG(notification.userInfo);
}

void PublishBookWindowDelegate::innerConvertMSG(const QVariantMap &userInfo)
{
    if (!m_isStart || !prgBar)
        return;
    try {
        setProgressIndeterminate(false);
        if (userInfo.value(QStringLiteral("id")).toString() != m_taskID)
            return;
        if (const auto value
            = PublishProgress::barValue(prgBar->maximum(), userInfo.value(QStringLiteral("index")).toLongLong(),
                                        userInfo.value(QStringLiteral("count")).toLongLong()))
            prgBar->setValue(*value);
        bool known = false;
        const int type = userInfo.value(QStringLiteral("type")).toInt(&known);
        if (known) {
            if (const auto text = PublishProgress::label(type, btnCompressToZip->isChecked()))
                lblInfo->setText(*text);
        }
    } catch (...) {
        // Progress is only shown; nothing may stop the run here.
    }
}

void PublishBookWindowDelegate::onCancel()
{
    if (!m_isStart) {
        closeWindowWithCodeOnMainThread(0);
        return;
    }
    btnCancel->setEnabled(false);
    m_progressAnimating = true;
    setProgressIndeterminate(false);
    m_isStart = false;
    m_cancelWaiting = true;
    if (m_job)
        m_job->cancel();
    m_jobQueue->cancelAllOperations();

    // Wait for the job with the window alive; its controls stay disabled meanwhile.
    const QPointer<PublishBookWindowDelegate> alive(this);
    const std::shared_ptr<OperationQueue> queue = m_jobQueue;
    queue->waitForAllOperationsProcessingEvents();
    if (!alive)
        return;
    m_cancelWaiting = false;
    btnCancel->setEnabled(true);
    setButtonsStatus(true);
    if (!m_jobFinishHandled)
        finishRun();
}

// ---------------------------------------------------------------------------------
// The finish

void PublishBookWindowDelegate::publishBookFinished()
{
    if (!m_job || !m_runTargets)
        return;
    const OutputOperation &job = *m_job;
    const PublishTargets &targets = *m_runTargets;
    const int status = job.status();
    const int kind = m_runKind;
    m_isStart = false;
    setWorkerRunning(false);

    // 1.
    if (kind == 3 && job.isFileInfoError())
        LogAlert::alertMessage(
            loadAppString(QStringLiteral("OutputWindowD-Some files of the eBook may lose!"),
                          QStringLiteral("Some files of the eBook may lose!")),
            loadAppString(QStringLiteral("OutputWindowD-Some files are invalid due to the incorrect file name, before "
                                         "importing files, please rename with letters, numbers or underlines."),
                          QStringLiteral("Some files are invalid due to the incorrect file name, before importing "
                                         "files, please rename with letters, numbers or underlines.")));

    // 2. to 4. A packed web folder gets the user's name once it is written; what was
    // moved aside goes back, after success only where the new book left room.
    QString projectFile = job.projectFilePath();
    QList<PublishBackup::Failure> failures;
    if (status == OutputOperation::StatusWritten) {
        if (targets.packsWebFolder())
            projectFile = renameEngineArchive(projectFile.isEmpty() ? targets.engineArchive() : projectFile);
        failures = m_backup.settleAfterSuccess();
    } else {
        failures = m_backup.restoreAll();
    }
    m_projectFilePath = projectFile;

    // 5. The recent list, with the kind of book, so that it opens as a published book
    // (a web folder by its page).
    QString reportPath = projectFile;
    if (kind == 0 && !targets.packsWebFolder())
        reportPath = projectFile + QLatin1Char('/') + m_convertPara.strOutputName() + QStringLiteral(".html");
    if (m_convertPara.loadType() != 3 && status == OutputOperation::StatusWritten)
        RecentProjectItem(m_convertPara.strTitle(), reportPath, kind).saveToFile();

    // 6. and 7.
    setButtonsStatus(true);
    showRestoreFailures(failures);
    if (status != OutputOperation::StatusWritten) {
        showJobFailure(status);
        return;
    }

    // 8. The report, then the dialog closes.
    if (m_runServices.showReport)
        m_openPanelNumber = m_runServices.showReport(reportPath, kind);
    closeWindowWithCodeOnMainThread(1);
}

QString PublishBookWindowDelegate::renameEngineArchive(const QString &archive)
{
    const PublishTargets &targets = *m_runTargets;
    if (targets.name() == QLatin1String(PublishTargets::kArchiveBookName))
        return archive;
    const QString named = targets.folder() + QLatin1Char('/') + targets.name() + QStringLiteral(".zip");
    // The older archive of that name was moved aside with the user's consent; anything
    // that turned up there since is not overwritten.
    QString reason;
    if (!PublishBackup::pathExists(named) && PublishBackup::moveItem(archive, named, {}, &reason))
        return named;
    LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-The book is kept as \"%1\"."),
                                         QStringLiteral("The book is kept as \"%1\"."))
                               .arg(fileNameOf(archive)),
                           reason.isEmpty() ? loadAppString(QStringLiteral("OutputWindowD-\"%1\" already exists."),
                                                            QStringLiteral("\"%1\" already exists."))
                                                  .arg(fileNameOf(named))
                                            : reason);
    return archive;
}

void PublishBookWindowDelegate::showRestoreFailures(const QList<PublishBackup::Failure> &failures)
{
    if (failures.isEmpty())
        return;
    QStringList lines;
    for (const PublishBackup::Failure &failure : failures)
        lines << QStringLiteral("%1 (%2)").arg(failure.original, failure.reason);
    LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-Some older files could not be put back."),
                                         QStringLiteral("Some older files could not be put back.")),
                           loadAppString(QStringLiteral("OutputWindowD-They are kept in the folder \"%1\":"),
                                         QStringLiteral("They are kept in the folder \"%1\":"))
                                   .arg(QFileInfo(failures.first().backup).path())
                               + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}

void PublishBookWindowDelegate::showJobFailure(int status)
{
    if (status == OutputOperation::StatusCancelled)
        return;
    if (status == OutputOperation::StatusFailed) {
        if (const std::optional<WorkerException> failure = m_job->raiseException()) {
            LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-The book could not be published."),
                                                 QStringLiteral("The book could not be published.")),
                                   failure->reason());
            return;
        }
        LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-The book could not be published."),
                                             QStringLiteral("The book could not be published.")),
                               loadAppString(QStringLiteral("OutputWindowD-The output stopped without saying why."),
                                             QStringLiteral("The output stopped without saying why.")));
        return;
    }
    LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-The book could not be published."),
                                         QStringLiteral("The book could not be published.")),
                           loadAppString(QStringLiteral("OutputWindowD-The output ended in an unknown state (%1)."),
                                         QStringLiteral("The output ended in an unknown state (%1)."))
                               .arg(status));
}
