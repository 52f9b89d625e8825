#include "publishing/DownloadConfigRun.h"

#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "pages/PDFWidePage.h"
#include "pages/PageNotifications.h"
#include "platform/NotificationCenter.h"
#include "project/ProjectFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace {

const QString kPages = QStringLiteral("pages");
const QString kAttachments = QStringLiteral("attachments");
// Where a folder's new contents grow until they replace it.
const QString kStagingSuffix = QStringLiteral(".part");

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

int countPdfFiles(const QString &folder)
{
    int count = 0;
    for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::Files))
        if (entry.suffix().toLower() == QLatin1String("pdf"))
            ++count;
    return count;
}

// Puts staging in the place of folder; the old folder goes only once staging is there.
bool replaceFolder(const QString &staging, const QString &folder, QString *error)
{
    const QString old = folder + QStringLiteral(".old");
    removeTree(old);
    std::error_code code;
    if (QFileInfo::exists(folder))
        std::filesystem::rename(fsPath(folder), fsPath(old), code);
    if (!code)
        std::filesystem::rename(fsPath(staging), fsPath(folder), code);
    if (code) {
        std::error_code putBack;
        if (QFileInfo::exists(old) && !QFileInfo::exists(folder))
            std::filesystem::rename(fsPath(old), fsPath(folder), putBack); // what was there goes back
        *error = QStringLiteral("\"%1\" cannot be replaced: %2")
                     .arg(QDir::toNativeSeparators(folder), QString::fromLocal8Bit(code.message().c_str()));
        removeTree(staging);
        return false;
    }
    removeTree(old);
    return true;
}

} // namespace

DownloadConfigRun::DownloadConfigRun(Input input, QObject *parent) : QObject(parent), m_input(std::move(input))
{
    m_separate.setPdfFile(m_input.pdfFile);
    m_separate.setPassword(m_input.password);
    m_separate.setPageRange(m_input.pageRange);
    m_separate.setDetectWidePage(m_input.detectWidePage);
    m_separate.setIdentifier(m_input.identifier);
}

void DownloadConfigRun::stop()
{
    m_stop = true;
    m_separate.stop();
}

int DownloadConfigRun::pdfPageCount(const Input &input)
{
    if (input.pdfFile.isEmpty() || !QFileInfo(input.pdfFile).isFile())
        return 0;
    PDFWidePage wide(input.pdfFile, input.password, input.pageRange);
    wide.setDetectWidePage(input.detectWidePage);
    wide.buildLeftPageOrderList();
    return wide.newPDFPageCount();
}

bool DownloadConfigRun::pagesToBeMade(const QString &workspace, int pageCount, bool singlePagesOffered)
{
    const QString folder = QDir(workspace).filePath(kPages);
    if (!QFileInfo(folder).isDir())
        return singlePagesOffered;
    return pageCount != 0 && countPdfFiles(folder) != pageCount;
}

QString DownloadConfigRun::workspaceName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name == kPages || name == kAttachments
        || name.endsWith(kStagingSuffix) || name.endsWith(QStringLiteral(".old")))
        return {};
    return name;
}

void DownloadConfigRun::postProgress()
{
    const int index = ++m_progressIndex;
    NotificationCenter::defaultCenter()->postNotification(
        DownloadConfigNotification, this,
        {{QStringLiteral("index"), index}, {QStringLiteral("count"), int(m_progressCount)},
         {QStringLiteral("id"), m_input.identifier}});
}

void DownloadConfigRun::copyChosenFile(const QString &stored, const QString &subFolder, const QString &into,
                                       bool once, Result &result)
{
    const QString source = DownloadCfgItem::existingFile(stored, m_input.workspace, subFolder);
    const QString name = workspaceName(stored);
    const QString target = QDir(into).filePath(name);
    QString error;
    if (source.isEmpty())
        result.missingSources << stored;
    else if (name.isEmpty())
        result.failures << QStringLiteral("\"%1\" cannot be offered under that name.").arg(stored);
    else if (once && QFileInfo::exists(target))
        result.failures << QStringLiteral("Two files are called \"%1\".").arg(name);
    // A file the workspace holds (a "./" path, or the copy of a chosen file that has
    // gone) must lie in the workspace, links followed; a chosen file in its own folder.
    else if (!SafeFiles::copyFile(source, target, &error,
                                  ProjectFiles::isInside(source, m_input.workspace) ? m_input.workspace : QString()))
        result.failures << error;
}

void DownloadConfigRun::copyWholePDF(Result &result)
{
    const QString text = m_input.settings.file.trimmed();
    if (m_input.settings.fileType == 0 && !text.isEmpty())
        copyChosenFile(text, QString(), m_input.workspace, false, result);
    postProgress();
}

void DownloadConfigRun::copyAttachments(Result &result)
{
    const QString staging = QDir(m_input.workspace).filePath(kAttachments + kStagingSuffix);
    removeTree(staging);
    if (!QDir().mkpath(staging)) {
        result.failures << QStringLiteral("The folder \"%1\" cannot be made.").arg(QDir::toNativeSeparators(staging));
        return;
    }
    for (const QString &attachment : m_input.settings.attachs) {
        if (m_stop) {
            removeTree(staging);
            return;
        }
        if (!attachment.isEmpty())
            copyChosenFile(attachment, kAttachments, staging, true, result);
        postProgress();
    }
    QString error;
    if (!replaceFolder(staging, QDir(m_input.workspace).filePath(kAttachments), &error))
        result.failures << error;
}

void DownloadConfigRun::makePages(int pageCount, Result &result)
{
    // The pages are written straight into the staging folder.
    const QString staging = QDir(m_input.workspace).filePath(kPages + kStagingSuffix);
    removeTree(staging);
    m_separate.setWorkspace(staging);
    const int missing = m_separate.start();
    if (m_stop) {
        removeTree(staging);
        return;
    }
    if (missing != 0 || m_separate.PDFPageCount() != pageCount) {
        result.separationFailed = true;
        result.separationError = missing < 0 ? m_separate.errorString()
                                             : QStringLiteral("%1 of %2 pages were not written.")
                                                   .arg(missing)
                                                   .arg(m_separate.PDFPageCount());
        removeTree(staging);
        return;
    }
    QString error;
    if (!replaceFolder(staging, QDir(m_input.workspace).filePath(kPages), &error)) {
        result.separationFailed = true;
        result.separationError = error;
        return;
    }
    QStringList pages;
    for (int page = 1; page <= pageCount; ++page)
        pages << QStringLiteral("./pages/%1.pdf").arg(page);
    result.pages = pages;
}

DownloadConfigRun::Result DownloadConfigRun::run()
{
    Result result;
    const DownloadSettings &settings = m_input.settings;
    const int pageCount = pdfPageCount(m_input);
    const bool remake = pagesToBeMade(m_input.workspace, pageCount, settings.hasPages) && pageCount > 0;
    m_progressCount = (settings.hasPDF ? 1 : 0) + (remake ? pageCount : 0) + int(settings.attachs.size());
    m_progressIndex = 0;

    if (!QDir().mkpath(m_input.workspace)) {
        result.failures << QStringLiteral("The folder \"%1\" cannot be made.").arg(QDir::toNativeSeparators(m_input.workspace));
        return result;
    }
    if (settings.hasPDF && !m_stop)
        copyWholePDF(result);
    if (!settings.attachs.isEmpty() && !m_stop)
        copyAttachments(result);
    if (remake && !m_stop)
        makePages(pageCount, result);
    result.cancelled = m_stop;
    return result;
}
