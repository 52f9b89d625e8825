#include "output/OutputOperation.h"

#include "annotations/FlashPagesAnnotations.h"
#include "foundation/AppLog.h"
#include "foundation/AppStrings.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "online/UploadBookDelegate.h"
#include "output/ConvertBookInfo.h"
#include "output/web/FlashBookOutput.h"
#include "output/packages/FlashBookOutputApp.h"
#include "output/packages/FlashBookOutputExe.h"
#include "output/security/BookSecurity.h"
#include "output/narration/GenerateAssistant.h"
#include "output/web/HTMLConfigInfo.h"
#include "output/MobileChoices.h"
#include "output/OutputCopies.h"
#include "output/web/OutputFiles.h"
#include "output/web/OutputStage.h"
#include "output/packages/PublishPlugin.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "platform/NotificationCenter.h"
#include "output/packages/AppBookDefaults.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QScopeGuard>

namespace {

// The name the book is converted under in the per-user upload folder (its main page
// is "book.html"), where the plug-in packages take it from.
const QString kUploadBookName = QStringLiteral("book");

QString orDefault(const QString &value, const QString &fallback)
{
    return value.isEmpty() ? fallback : value;
}

// A chosen icon that is gone is shown as the default icon by the settings sheet; the
// book gets that icon too.
QString existingIcon(const QString &path)
{
    if (path.isEmpty() || QFileInfo(path).isFile())
        return path;
    AppLog::shared().log(QStringLiteral("publish: the icon %1 is missing; the default icon is used").arg(path));
    return QString();
}

} // namespace

OutputOperation::OutputOperation(QObject *parent)
    : Operation(parent)
{
}

OutputOperation::~OutputOperation() = default;

void OutputOperation::setFlashPageSource(const FlashPageSource *source)
{
    m_pageSource = source ? OutputCopies::copyPageSource(*source) : nullptr;
}

void OutputOperation::setFlashTmpl(const FlashTemplate *tmpl)
{
    m_template = tmpl ? OutputCopies::copyTemplate(*tmpl) : nullptr;
}

void OutputOperation::setMobileTemplate(const FlashTemplate *tmpl)
{
    m_mobileTemplate = tmpl ? OutputCopies::copyTemplate(*tmpl) : nullptr;
}

void OutputOperation::setFlashPagesAnnotations(const FlashPagesAnnotations *annotations)
{
    m_parts.setAnnotations(annotations ? std::make_shared<FlashPagesAnnotations>(*annotations) : nullptr);
}

void OutputOperation::setFlashOutline(const FlashOutline *outline)
{
    m_parts.setOutline(outline ? outline->deepCopy() : nullptr);
}

void OutputOperation::setPdfSearch(const PDFSearch *search)
{
    m_pdfSearch = search ? std::make_shared<const PDFSearch>(*search) : nullptr;
}

void OutputOperation::setMobileSearch(const PDFSearch *search)
{
    m_mobileSearch = search ? std::make_shared<const PDFSearch>(*search) : nullptr;
}

void OutputOperation::setBookmarkTabs(const BookMarkTabs *tabs)
{
    m_parts.setBookmarkTabs(tabs ? std::make_shared<BookMarkTabs>(*tabs) : nullptr);
}

void OutputOperation::setGenerateAssistant(std::shared_ptr<GenerateAssistant> assistant)
{
    m_parts.setAssistant(assistant ? std::make_shared<GenerateAssistant>(*assistant) : nullptr);
}

void OutputOperation::setBookSecurity(std::shared_ptr<BookSecurity> security)
{
    // The dialogs edit the book's settings on the main thread while a job runs.
    m_parts.setSecurity(security ? std::make_shared<BookSecurity>(*security) : nullptr);
}

std::optional<WorkerException> OutputOperation::raiseException() const
{
    QMutexLocker lock(&m_mutex);
    return m_exception;
}

QString OutputOperation::projectFilePath() const
{
    QMutexLocker lock(&m_mutex);
    return m_projectFilePath;
}

void OutputOperation::cancelled()
{
    m_stop = true;
}

void OutputOperation::finishWith(int status, const QString &projectFile, std::optional<WorkerException> failure)
{
    {
        QMutexLocker lock(&m_mutex);
        m_projectFilePath = projectFile;
        m_exception = std::move(failure);
    }
    m_status = status;
}

void OutputOperation::main()
{
    try {
        run();
    } catch (const WorkerException &e) {
        if (e.isCancellation() || isCancelled()) {
            finishWith(StatusCancelled, QString());
        } else {
            AppLog::shared().log(QStringLiteral("publish error:%1").arg(e.reason()));
            finishWith(StatusFailed, QString(), e);
        }
    } catch (const std::exception &e) {
        const WorkerException failure(QString::fromLocal8Bit(e.what()));
        AppLog::shared().log(QStringLiteral("publish error:%1").arg(failure.reason()));
        finishWith(StatusFailed, QString(), failure);
    }
}

void OutputOperation::checkStop() const
{
    if (m_stop.load())
        throw WorkerException::cancelled(OutputFiles::cancelReason());
}

void OutputOperation::postProgress(int type, int index, int count)
{
    if (!m_isProcess)
        return;
    count = qMax(1, count);
    NotificationCenter::defaultCenter()->postNotification(ConvertBookNotification, this,
                                                          {{QStringLiteral("id"), m_taskID},
                                                           {QStringLiteral("index"), qBound(0, index, count)},
                                                           {QStringLiteral("count"), count},
                                                           {QStringLiteral("type"), type}});
}

void OutputOperation::configure(FlashBookOutput &output)
{
    output.setStopFlag(&m_stop);
    output.setBookParts(m_parts);
    // The record's own choices for the phone version (a batch row's) on a copy.
    output.setMobileTemplate(MobileChoices::applied(m_mobileTemplate, m_parament));
    output.setIsBookcaseMode(m_isBookcaseMode);
    output.setUserInfo(m_userInfo);
    output.setShotFile(m_shotFile);
    output.setHTMLConfig(HTMLConfigInfo::fromConvertParament(m_parament));
    output.setPdfSearch(m_pdfSearch);
    output.setMobileSearch(m_mobileSearch);
    output.setIsProcess(m_isProcess);
    output.setTaskID(m_taskID);
    output.setNotificationSender(this);
    output.setIsConverBasicHtml(m_parament.isConvertBasicHtml());
}

void OutputOperation::run()
{
    const std::optional<OutputKind> kind = OutputKind::fromNumber(m_parament.iOutputType());
    const QString folder = QDir::cleanPath(QFileInfo(m_parament.strOutputFolder()).absoluteFilePath());
    const QString name = m_parament.strOutputName();
    if (m_parament.strOutputFolder().trimmed().isEmpty())
        throw WorkerException(loadAppString(QStringLiteral("BookOutput-No output folder is chosen."),
                                            QStringLiteral("No output folder is chosen.")));
    if (name.trimmed().isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".")
        || name == QLatin1String(".."))
        throw WorkerException(loadAppString(QStringLiteral("BookOutput-The file name \"%1\" cannot be used."),
                                            QStringLiteral("The file name \"%1\" cannot be used."))
                                  .arg(name));
    if (!kind)
        throw WorkerException(loadAppString(QStringLiteral("BookOutput-Unknown kind of output: %1"),
                                            QStringLiteral("Unknown kind of output: %1"))
                                  .arg(m_parament.iOutputType()));

    switch (kind->writer()) {
    case OutputKind::Writer::WebFolder:
    case OutputKind::Writer::ZipArchive:
    case OutputKind::Writer::SealedPackage: {
        FlashBookOutput output(m_pageSource, m_template, folder, name);
        configure(output);
        if (kind->writer() == OutputKind::Writer::SealedPackage) {
            output.sealOutput(m_fmappPassword);
            finishWith(StatusWritten, output.mainFilePath());
        } else if (kind->writer() == OutputKind::Writer::ZipArchive || m_parament.compressToZip()) {
            output.zipOutput();
            finishWith(StatusWritten, output.mainFilePath());
        } else {
            output.convertBook();
            finishWith(StatusWritten, folder);
        }
        return;
    }
    case OutputKind::Writer::Application:
        writeApplication(folder, name);
        return;
    case OutputKind::Writer::Executable:
        writeExecutable(folder, name);
        return;
    case OutputKind::Writer::PluginPackage:
        writePluginPackage(*kind, folder);
        return;
    }
}

void OutputOperation::writeApplication(const QString &folder, const QString &name)
{
    FlashBookOutputApp output(m_pageSource, m_template, folder, name);
    configure(output);
    output.setAppTitle(m_parament.strTitle());
    output.setAppVersion(orDefault(m_parament.strAppVersion(), AppBookDefaults::version));
    output.setAppIdentifier(orDefault(m_parament.strAppIdentifier(), defaultIdentifierName));
    output.setAppWindowSize(m_parament.strWindowSize());
    const int hide = m_parament.iAppWindowHide() == 1 || m_parament.iAppWindowHide() == 2 ? m_parament.iAppWindowHide()
                                                                                          : AppBookDefaults::windowHide;
    output.setWindowHideMode(hide == 2 ? QStringLiteral("YES") : QStringLiteral("NO"));
    output.setAppIconFile(existingIcon(m_parament.strAppIconFile()));
    if (m_parament.compressToZip())
        output.zipOutput();
    else
        output.convertBook();
    finishWith(StatusWritten, output.mainFilePath());
}

void OutputOperation::writeExecutable(const QString &folder, const QString &name)
{
    FlashBookOutputExe output(m_pageSource, m_template, folder, name);
    configure(output);
    output.setAppTitle(m_parament.strTitle());
    output.setAppWindowSize(orDefault(m_parament.strExeSize(), AppBookDefaults::exeWindowSize));
    output.setAppIconFile(existingIcon(m_parament.strExeIconFile()));
    if (m_parament.compressToZip())
        output.zipOutput();
    else
        output.convertBook();
    m_fileInfoError = output.isFileInfoError();
    finishWith(StatusWritten, output.mainFilePath());
}

QMutex &OutputOperation::uploadFolderLock()
{
    static QMutex lock;
    return lock;
}

bool OutputOperation::convertBook(UploadBookDelegate &convert, const QString &name,
                                  std::optional<WorkerException> *failure)
{
    convert.setBookWriter([&](const QString &bookFolder, const QString &bookName, const std::atomic_bool &) {
        FlashBookOutput output(m_pageSource, m_template, bookFolder, bookName);
        configure(output);
        try {
            output.writeBookFolder(bookFolder);
        } catch (const WorkerException &e) {
            *failure = e;
            return false;
        }
        return true;
    });
    const bool converted = convert.ConvertBookForUpload(name);
    convert.setBookWriter({});
    return converted;
}

bool OutputOperation::convertForUpload(UploadBookDelegate &convert, const QString &name)
{
    QMutexLocker lock(&uploadFolderLock());
    std::optional<WorkerException> failure;
    if (m_stop.load()) {
        convert.setConvertStatus(UploadBookDelegate::kRunning | UploadBookDelegate::kFinished
                                 | UploadBookDelegate::kFailed);
        return false;
    }
    const bool converted = convertBook(convert, name, &failure);
    if (failure)
        AppLog::shared().log(QStringLiteral("book conversion for upload: %1").arg(failure->reason()));
    return converted;
}

void OutputOperation::writePluginPackage(OutputKind kind, const QString &folder)
{
    const std::shared_ptr<PublishPlugin> plugin = m_plugin ? m_plugin : std::make_shared<PublishPlugin>();
    QMutexLocker lock(&uploadFolderLock());
    checkStop();

    // The book first goes into the upload folder, written by the engine.
    UploadBookDelegate convert;
    std::optional<WorkerException> failure;
    if (!convertBook(convert, kUploadBookName, &failure)) {
        checkStop();
        throw failure ? *failure : WorkerException(convert.errorString());
    }
    checkStop();

    // Then the package, made in a stage of the output folder and moved into place.
    ConvertParament record = m_parament;
    record.setStrOutputFolder(folder);
    ConvertParament staged = record;
    OutputStage stage(folder);
    staged.setStrOutputFolder(stage.path());
    plugin->setConvertPara(staged);
    plugin->setBookFolder(UploadBookDelegate::bookFolder(kUploadBookName));
    plugin->setBookPage(kUploadBookName + QStringLiteral(".html"));
    plugin->setStopFlag(&m_stop);
    plugin->setProgressHandler([this](double part) { postProgress(ConvertStep::Complete, int(part * 100), 100); });
    // The record may outlive the job (the dialog keeps it): it is left naming the
    // package's real place and nothing of the job.
    const auto restore = qScopeGuard([&] {
        plugin->setConvertPara(record);
        plugin->setStopFlag(nullptr);
        plugin->setProgressHandler({});
    });
    postProgress(ConvertStep::Complete, 0, 100);
    const QString stagedPackage = plugin->packagePath();
    const bool written = kind == OutputKind::WordPress ? plugin->publishWordPressPlugin()
                         : kind == OutputKind::Joomla  ? plugin->publishJoomlaPlugin()
                                                       : plugin->publishDrupalPlugin();
    checkStop();
    if (!written)
        OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The plug-in package cannot be made: %1"),
                                        QStringLiteral("The plug-in package cannot be made: %1"))
                              .arg(plugin->errorString()));
    try {
        stage.commitFile(stagedPackage, QFileInfo(stagedPackage).fileName());
    } catch (const WorkerException &) {
        plugin->setConvertStatus(PublishPlugin::kRunning | PublishPlugin::kFinished | PublishPlugin::kFailed);
        throw;
    }
    finishWith(StatusWritten, QDir(folder).filePath(QFileInfo(stagedPackage).fileName()));
}
