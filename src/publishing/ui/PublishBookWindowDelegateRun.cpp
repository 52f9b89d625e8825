// The publish dialog's side of a run: the checks of the Publish button, the phone
// pages, the output folder, the questions of the run, its progress, cancel and end.

#include "publishing/ui/PublishBookWindowDelegate.h"

#include "foundation/AppStrings.h"
#include "output/OutputOperation.h"
#include "pages/FlashPageSource.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWindow.h"
#include "project/AppSettings.h"
#include "publishing/PublishProgress.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
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
    if (m_run.isBusy() || m_phonePages.isRunning())
        return;

    // 1. A bookcase cannot become a Windows executable.
    if (m_isBookcaseMode && outputKind() == OutputKind::Executable) {
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

    // 3. Phone pages: made on a worker; the run goes on once they were reviewed.
    if (askForPhonePages())
        return;
    publishWithPhonePages();
}

void PublishBookWindowDelegate::publishWithPhonePages()
{
    // 4. Saving.
    saveConvertPara();
    saveDictionaryToFile();

    // 5. Folder.
    const QString folder = PublishTargets::standardizedFolder(txtOutputFolder->text());
    bool created = false;
    if (!prepareOutputFolder(folder, &created))
        return;

    // A plug-in package that another package of the folder would replace on the site.
    if (outputKind().writer() == OutputKind::Writer::PluginPackage) {
        const PublishRun::Setup setup = runSetup(folder, created);
        const QString target = PublishTargets(folder, txtOutputName->text(), outputKind(), false, 0).target();
        if (!PluginDetailViews::confirmInstallName(target, outputKind(), setup.pluginID)) {
            txtOutputName->setFocus();
            txtOutputName->selectAll();
            return;
        }
    }

    // 6. to 15. The run clears the way, asking first, and starts the job.
    PublishRun::Blockage blockage;
    m_run.setJobMaker(m_runServices.makeJob);
    switch (m_run.start(runSetup(folder, created), &blockage)) {
    case PublishRun::StartOutcome::Declined:
        return;
    case PublishRun::StartOutcome::Blocked:
        LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-\"%1\" could not be moved out of the way."),
                                             QStringLiteral("\"%1\" could not be moved out of the way."))
                                   .arg(blockage.path),
                               blockage.reason);
        showRestoreFailures(blockage.restoreFailures);
        return;
    case PublishRun::StartOutcome::Running:
        break;
    }
    setButtonsStatus(false);
    lblInfo->clear();
    setProgressIndeterminate(true);
    setWorkerRunning(true);
}

PublishRun::Setup PublishBookWindowDelegate::runSetup(const QString &folder, bool freshFolder) const
{
    PublishRun::Setup setup;
    setup.record = m_convertPara;
    setup.folder = folder;
    setup.freshFolder = freshFolder;
    setup.pageSource = m_flashPageSource;
    setup.tmpl = m_flashTmpl;
    setup.mobileTemplate = m_mobileTemplate;
    setup.pdfSearch = m_pdfSearch;
    setup.mobileSearch = m_mobileSearch;
    setup.parts = m_bookParts;
    setup.bookcaseMode = m_isBookcaseMode;
    setup.userInfo = m_userInfo;
    setup.shotFile = m_shotFile;
    setup.pluginWidth = txtWidth->text() + comUnit->currentText();
    setup.pluginHeight = txtHeight->text() + comUnit1->currentText();
    switch (outputKind().code()) {
    case OutputKind::Joomla:
        setup.pluginVersion = getJoomlaVersion();
        setup.pluginID = getJoomlaID();
        break;
    case OutputKind::Drupal:
        setup.pluginVersion = getDrupalVersion();
        setup.pluginID = getDrupalID();
        break;
    default:
        setup.pluginVersion = QStringLiteral("1.0");
        setup.pluginID = QStringLiteral("1");
        break;
    }
    return setup;
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

bool PublishBookWindowDelegate::askForPhonePages()
{
    if (!m_flashPageSource || !m_flashPageSource->phonePages().isEmpty() || selectedLoadType() == 2)
        return false;
    if (!LogAlert::askOKCancel(
            loadAppString(QStringLiteral("OutputWindowD-No any images for mobile version!"),
                          QStringLiteral("No any images for mobile version!")),
            loadAppString(QStringLiteral("OutputWindowD-Press enter key and try to generate the mobile version."),
                          QStringLiteral("Press enter key and try to generate the mobile version.")))) {
        m_convertPara.setLoadType(2);
        selectLoadType(2);
        return false;
    }
    return makePhonePages();
}

bool PublishBookWindowDelegate::makePhonePages()
{
    if (!m_runServices.batchSnap)
        return false;
    if (m_runServices.saveSnapTrustPath)
        m_runServices.saveSnapTrustPath();
    m_phonePages.setSnapshots(m_runServices.batchSnap);
    const QSizeF size = PhonePageRun::pictureSize(m_flashTmpl, AppSettings::shareInstance()->importQualityLevel());
    if (!m_phonePages.start(PhonePageRun::pageFiles(*m_flashPageSource), size))
        return false;
    // The window goes on drawing while the pictures are made, but takes no input and
    // cannot be closed. The fields go into the record first: giving the controls back
    // shows the record's values.
    saveConvertPara();
    setButtonsStatus(false);
    btnCancel->setEnabled(false);
    lblInfo->setText(
        loadAppString(QStringLiteral("Generating page for mobile"), QStringLiteral("Generating page for mobile")));
    setProgressIndeterminate(true);
    setWorkerRunning(true);
    return true;
}

void PublishBookWindowDelegate::phonePagesSnapped(const QStringList &images)
{
    const QSizeF size = m_phonePages.size();
    std::optional<QStringList> reviewed = images;
    if (!images.isEmpty() && m_runServices.reviewPhonePages)
        reviewed = m_runServices.reviewPhonePages(m_phonePages.pages(), images, size.width(), size.height());
    if (reviewed && m_flashPageSource)
        PhonePageRun::placePhonePages(*m_flashPageSource, *reviewed);
    m_phonePages.finish(m_flashPageSource ? PhonePageRun::phonePictures(*m_flashPageSource) : QStringList());

    lblInfo->clear();
    btnCancel->setEnabled(true);
    setWorkerRunning(false);
    setButtonsStatus(true);
    publishWithPhonePages();
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

bool PublishBookWindowDelegate::askToReplace(const QString &path, bool companion)
{
    const QString folderName = fileNameOf(QFileInfo(path).path());
    if (!companion)
        return LogAlert::askYesNo(
            loadAppString(QStringLiteral("OutputWindowD-\"%@\" already exists. Do you want to replace it?"),
                          QStringLiteral("\"%@\" already exists. Do you want to replace it?"))
                .replace(QLatin1String("%@"), fileNameOf(path)),
            loadAppString(QStringLiteral("OutputWindowD-A project with the same name already exists in the folder "
                                         "\"%@\". Replacing it will overwrite its current contents."),
                          QStringLiteral("A project with the same name already exists in the folder \"%@\". Replacing "
                                         "it will overwrite its current contents."))
                .replace(QLatin1String("%@"), folderName));

    // The "files" question, also for a "mobile" folder alone.
    const QString companionName = fileNameOf(path);
    QString message = loadAppString(
        QStringLiteral("OutputWindowD-\"files\" folder already exists in the folder \"%@\". Do you want to replace it?"),
        QStringLiteral("\"files\" folder already exists in the folder \"%@\". Do you want to replace it?"));
    if (companionName != QLatin1String("files"))
        message.replace(QLatin1String("\"files\""), QLatin1Char('"') + companionName + QLatin1Char('"'));
    return LogAlert::askYesNo(
        message.replace(QLatin1String("%@"), folderName),
        loadAppString(QStringLiteral("OutputWindowD-Another project already exists in the folder \"%@\".Replacing "
                                     "it will overwrite its current contents."),
                      QStringLiteral("Another project already exists in the folder \"%@\".Replacing it will "
                                     "overwrite its current contents."))
            .replace(QLatin1String("%@"), folderName));
}

// ---------------------------------------------------------------------------------
// While the run goes on

void PublishBookWindowDelegate::showProgress(qint64 index, qint64 count, int type)
{
    if (!prgBar)
        return;
    try {
        setProgressIndeterminate(false);
        if (const auto value = PublishProgress::barValue(prgBar->maximum(), index, count))
            prgBar->setValue(*value);
        if (const auto text = PublishProgress::label(type, btnCompressToZip->isChecked()))
            lblInfo->setText(*text);
    } catch (...) {
        // Progress is only shown; nothing may stop the run here.
    }
}

void PublishBookWindowDelegate::onCancel()
{
    if (m_phonePages.isRunning())
        return;
    if (!m_run.isBusy()) {
        closeWindowWithCodeOnMainThread(0);
        return;
    }
    if (!m_run.isStart())
        return; // already stopping
    // The job is told to stop; its end (cancelled) comes back through the run's
    // finished(), which gives the controls back.
    btnCancel->setEnabled(false);
    m_progressAnimating = true;
    setProgressIndeterminate(false);
    m_run.cancel();
}

// ---------------------------------------------------------------------------------
// The end

void PublishBookWindowDelegate::publishBookFinished(const PublishRun::Result &result)
{
    setWorkerRunning(false);
    btnCancel->setEnabled(true);
    if (result.fileInfoError)
        LogAlert::alertMessage(
            loadAppString(QStringLiteral("OutputWindowD-Some files of the eBook may lose!"),
                          QStringLiteral("Some files of the eBook may lose!")),
            loadAppString(QStringLiteral("OutputWindowD-Some files are invalid due to the incorrect file name, before "
                                         "importing files, please rename with letters, numbers or underlines."),
                          QStringLiteral("Some files are invalid due to the incorrect file name, before importing "
                                         "files, please rename with letters, numbers or underlines.")));
    if (!result.unrenamedArchive.isEmpty())
        LogAlert::alertMessage(loadAppString(QStringLiteral("OutputWindowD-The book is kept as \"%1\"."),
                                             QStringLiteral("The book is kept as \"%1\"."))
                                   .arg(fileNameOf(result.unrenamedArchive)),
                               result.renameProblem);
    m_projectFilePath = result.projectFilePath;

    setButtonsStatus(true);
    showRestoreFailures(result.restoreFailures);
    if (!result.isWritten()) {
        showJobFailure(result);
        return;
    }

    // The report, then the dialog closes.
    if (m_runServices.showReport)
        m_openPanelNumber = m_runServices.showReport(result.reportPath, result.kind, m_uploads);
    closeWindowWithCodeOnMainThread(1);
}

void PublishBookWindowDelegate::errorWhileConver()
{
    if (m_run.isBusy()) {
        onCancel();
        return;
    }
    // Whatever the finish did not get to: nothing stays moved aside, the dialog is usable.
    if (!m_run.backup().isEmpty())
        showRestoreFailures(m_run.backup().restoreAll());
    setWorkerRunning(false);
    setButtonsStatus(true);
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

void PublishBookWindowDelegate::showJobFailure(const PublishRun::Result &result)
{
    const int status = result.status;
    if (status == OutputOperation::StatusCancelled)
        return;
    if (status == OutputOperation::StatusFailed) {
        if (const std::optional<WorkerException> &failure = result.failure) {
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
