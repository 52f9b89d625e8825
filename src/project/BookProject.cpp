#include "project/BookProject.h"

#include "project/BookProjectReader.h"
#include "project/BookProjectWriter.h"
#include "project/ProjectMessages.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>

namespace {

QMutex hooksMutex;
BookProject::OpenCheck theOpenCheck;
BookProject::TemplateLocator theTemplateLocator;

QString withExtension(const QString &file)
{
    if (QFileInfo(file).suffix().compare(BookProject::fileExtension(), Qt::CaseInsensitive) == 0)
        return file;
    return file + QLatin1Char('.') + BookProject::fileExtension();
}

bool samePath(const QString &a, const QString &b)
{
    return !a.isEmpty() && !b.isEmpty()
        && QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

QString BookProject::dataFolderName(const QString &projectFile)
{
    return QFileInfo(projectFile).fileName() + QStringLiteral(".data");
}

std::unique_ptr<BookDocument> BookProject::open(const QString &projectFile, ProjectResult *result)
{
    auto document = std::make_unique<BookDocument>();
    const ProjectResult r = openInto(projectFile, *document);
    if (result)
        *result = r;
    return r.ok() ? std::move(document) : nullptr;
}

ProjectResult BookProject::openInto(const QString &projectFile, BookDocument &document)
{
    ProjectResult result = BookProjectReader(projectFile, document).read();
    if (!result.ok())
        return result;
    if (const OpenCheck check = openCheck()) {
        switch (check(document)) {
        case OpenCheckResult::Granted: break;
        case OpenCheckResult::Refused:
            return ProjectResult::failure(ProjectError::AccessRefused, ProjectMessages::accessRefused());
        case OpenCheckResult::Cancelled: return ProjectResult::failure(ProjectError::AccessRefused, QString());
        }
    }
    return result;
}

ProjectResult BookProject::save(BookDocument &document)
{
    if (document.isUntitled())
        return ProjectResult::failure(ProjectError::Untitled, ProjectMessages::untitled());
    return saveAs(document, document.projectFilePath());
}

ProjectResult BookProject::saveAs(BookDocument &document, const QString &projectFile)
{
    const QString file = withExtension(projectFile);
    const auto mode = samePath(file, document.projectFilePath()) ? BookProjectWriter::Mode::Save
                                                                 : BookProjectWriter::Mode::SaveAs;
    BookProjectWriter writer(document, mode);
    ProjectResult result = writer.write(file);
    if (result.ok())
        writer.relocate(document);
    return result;
}

ProjectResult BookProject::saveCopy(const BookDocument &document, const QString &projectFile)
{
    return BookProjectWriter(document, BookProjectWriter::Mode::Copy).write(withExtension(projectFile));
}

void BookProject::setOpenCheck(const OpenCheck &check)
{
    QMutexLocker lock(&hooksMutex);
    theOpenCheck = check;
}

BookProject::OpenCheck BookProject::openCheck()
{
    QMutexLocker lock(&hooksMutex);
    return theOpenCheck;
}

void BookProject::setTemplateLocator(const TemplateLocator &locator)
{
    QMutexLocker lock(&hooksMutex);
    theTemplateLocator = locator;
}

QString BookProject::locateTemplate(const QString &name, bool mobile)
{
    TemplateLocator locator;
    {
        QMutexLocker lock(&hooksMutex);
        locator = theTemplateLocator;
    }
    if (locator)
        return locator(name, mobile);
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
        return {};
    const QString file = FlashTemplate::bundledTemplateFile(name);
    return QFileInfo(file).isFile() ? file : QString();
}
