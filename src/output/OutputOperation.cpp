#include "output/OutputOperation.h"

#include "annotations/FlashPagesAnnotations.h"
#include "foundation/AppLog.h"
#include "foundation/AppStrings.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "output/BookSecurity.h"
#include "output/FlashBookOutput.h"
#include "output/GenerateAssistant.h"
#include "output/HTMLConfigInfo.h"
#include "output/OutputCopies.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QFileInfo>

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
    m_annotations = annotations ? std::make_shared<const FlashPagesAnnotations>(*annotations) : nullptr;
}

void OutputOperation::setFlashOutline(const FlashOutline *outline)
{
    m_outline = outline ? OutputCopies::copyOutline(*outline) : nullptr;
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
    m_tabs = tabs ? std::make_shared<const BookMarkTabs>(*tabs) : nullptr;
}

void OutputOperation::setGenerateAssistant(std::shared_ptr<GenerateAssistant> assistant)
{
    m_assistant = assistant ? std::make_shared<GenerateAssistant>(*assistant) : nullptr;
}

void OutputOperation::setBookSecurity(std::shared_ptr<BookSecurity> security)
{
    // The dialogs edit the shared settings on the main thread while a job runs.
    m_security = security ? std::make_shared<BookSecurity>(*security) : nullptr;
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

void OutputOperation::run()
{
    const int kind = m_parament.iOutputType();
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

    FlashBookOutput output(m_pageSource, m_template, folder, name);
    output.setStopFlag(&m_stop);
    output.setBookSecurity(m_security);
    output.setPluginBundleName(m_pluginBundleName);
    output.setDownloadCfgWorkspace(m_downloadWorkspace);
    output.setMobileTemplate(m_mobileTemplate);
    output.setIsBookcaseMode(m_isBookcaseMode);
    output.setUserInfo(m_userInfo);
    output.setShotFile(m_shotFile);
    output.setHTMLConfig(HTMLConfigInfo::fromConvertParament(m_parament));
    output.setFlashPagesAnnotations(m_annotations);
    output.setFlashOutline(m_outline);
    output.setFlashScenesManagement(m_scene);
    output.setGenerateAssistant(m_assistant);
    output.setPdfSearch(m_pdfSearch);
    output.setMobileSearch(m_mobileSearch);
    output.setBookmarkTabs(m_tabs);
    output.setIsProcess(m_isProcess);
    output.setTaskID(m_taskID);
    output.setNotificationSender(this);
    output.setIsConverBasicHtml(m_parament.isConvertBasicHtml());

    switch (kind) {
    case 0:
    case 4:
        if (m_parament.compressToZip()) {
            output.zipOutput();
            finishWith(StatusWritten, output.mainFilePath());
        } else {
            output.convertBook();
            finishWith(StatusWritten, folder);
        }
        return;
    case 2:
        output.zipOutput();
        finishWith(StatusWritten, output.mainFilePath());
        return;
    case 5:
        output.sealOutput(m_fmappPassword);
        finishWith(StatusWritten, output.mainFilePath());
        return;
    case 1:
    case 3:
    case 6:
    case 7:
    case 8:
        // The application and plug-in packagers wrap a written web book
        // (FlashBookOutput::writeBookFolder); they are not part of this build yet.
        throw WorkerException(loadAppString(QStringLiteral("BookOutput-This kind of output is not available yet."),
                                            QStringLiteral("This kind of output is not available yet.")));
    default:
        throw WorkerException(loadAppString(QStringLiteral("BookOutput-Unknown kind of output: %1"),
                                            QStringLiteral("Unknown kind of output: %1"))
                                  .arg(kind));
    }
}
