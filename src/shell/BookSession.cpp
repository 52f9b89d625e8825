#include "shell/BookSession.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "pages/FlashPageSource.h"
#include "pages/PageImport.h"
#include "project/BookDocument.h"
#include "project/BookProject.h"
#include "project/DownloadWorkspaceInfo.h"
#include "project/ProjectBackup.h"
#include "project/RecentProjectItem.h"

#include <QDir>
#include <QFileInfo>

BookSession::BookSession(std::unique_ptr<BookDocument> document)
    : m_document(std::move(document))
{
}

BookSession::~BookSession()
{
    if (!m_changeIconWorkspace.isEmpty())
        removeTree(m_changeIconWorkspace);
}

QString BookSession::changeIconWorkspace()
{
    if (m_changeIconWorkspace.isEmpty())
        m_changeIconWorkspace = createUniqueTempFolder();
    return m_changeIconWorkspace;
}

std::unique_ptr<BookSession> BookSession::createForImport(QString *error)
{
    auto document = std::make_unique<BookDocument>();
    if (!document->loadDefaultTemplates(error))
        return nullptr;
    const QString workspace = document->createTemporaryWorkspace();
    if (workspace.isEmpty()) {
        if (error)
            *error = loadAppString(QStringLiteral("BookSession-No temporary folder can be made for the pages."),
                                   QStringLiteral("No temporary folder can be made for the pages."));
        return nullptr;
    }
    std::unique_ptr<BookSession> session(new BookSession(std::move(document)));
    session->m_importWorkspace = workspace;
    return session;
}

std::unique_ptr<BookSession> BookSession::open(const QString &projectFile, ProjectResult *result)
{
    ProjectResult opened;
    std::unique_ptr<BookDocument> document = BookProject::open(projectFile, &opened);
    if (result)
        *result = opened;
    if (!document)
        return nullptr;
    std::unique_ptr<BookSession> session(new BookSession(std::move(document)));
    session->remember();
    return session;
}

void BookSession::adoptImport(const PageImport &import, const ImportParament &parament)
{
    m_document->adoptImport(import);
    m_parament = parament;
    if (!parament.sourceFiles.isEmpty())
        m_sourceName = QFileInfo(parament.sourceFiles.first()).completeBaseName();
    // How the source was opened, for the download settings; it lies beside the pages
    // in the book's temporary folder until the book is saved.
    const QString folder = QFileInfo(m_importWorkspace).absolutePath() + QStringLiteral("/download");
    if (DownloadWorkspaceInfo::fromImport(parament).writeToFolder(folder))
        m_document->parts().setDownloadWorkspace(folder);
    m_modified = true;
}

bool BookSession::hasPages() const
{
    return pageCount() > 0;
}

int BookSession::pageCount() const
{
    const auto source = m_document->pageSource();
    return source ? source->pageCount() : 0;
}

QString BookSession::displayName() const
{
    if (!m_document->isUntitled() || m_sourceName.isEmpty())
        return m_document->title();
    return m_sourceName;
}

QString BookSession::suggestedFileName() const
{
    return displayName() + QLatin1Char('.') + BookProject::fileExtension();
}

bool BookSession::isUntitled() const
{
    return m_document->isUntitled();
}

QString BookSession::projectFilePath() const
{
    return m_document->projectFilePath();
}

ProjectResult BookSession::save()
{
    const ProjectResult result = BookProject::save(*m_document);
    if (result.ok()) {
        m_modified = false;
        remember();
    }
    return result;
}

ProjectResult BookSession::saveAs(const QString &projectFile)
{
    const ProjectResult result = BookProject::saveAs(*m_document, projectFile);
    if (result.ok()) {
        m_modified = false;
        m_importWorkspace.clear();
        remember();
    }
    return result;
}

QString BookSession::backup(ProjectBackup &backups, ProjectResult *result) const
{
    if (!hasPages())
        return {};
    return backups.backup(*m_document, result);
}

void BookSession::remember() const
{
    if (!m_document->isUntitled())
        RecentProjectItem(m_document->title(), m_document->projectFilePath()).saveToFile();
}
