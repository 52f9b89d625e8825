#include "project/BookProjectWriter.h"

#include "annotations/FlashPagesAnnotations.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "foundation/XmlUtility.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/PDFSearch.h"
#include "project/BookProject.h"
#include "project/ProjectFiles.h"
#include "project/ProjectMessages.h"
#include "project/ProjectXml.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

using namespace ProjectXml;

namespace {

QString clean(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString attribute(const QString &value)
{
    return QLatin1Char('"') + value.toHtmlEscaped() + QLatin1Char('"');
}

QString written(const std::function<void(QXmlStreamWriter &)> &write)
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    write(writer);
    return text;
}

QString elementText(const QDomElement &element)
{
    QString text;
    QTextStream stream(&text);
    element.save(stream, 1);
    return text;
}

QString withoutDeclaration(const QString &xml)
{
    if (!xml.startsWith(QLatin1String("<?xml")))
        return xml;
    const qsizetype end = xml.indexOf(QLatin1String("?>"));
    return end < 0 ? xml : xml.mid(end + 2).trimmed() + QLatin1Char('\n');
}

// Whether the reader will take the text: XML read without namespaces, as the reader
// reads it (a prefix nobody declared, kept from the project that was read, is fine).
bool wellFormed(const QString &fragment, QString *error)
{
    QXmlStreamReader reader(fragment);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError() && error)
        *error = reader.errorString();
    return !reader.hasError();
}

// The data folder attribute of a project file; empty when the file is no project.
QString namedDataFolder(const QString &projectFile)
{
    QFile file(projectFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader reader(file.read(64 * 1024));
    while (!reader.atEnd() && !reader.isStartElement())
        reader.readNext();
    if (!reader.isStartElement() || reader.name() != Root)
        return {};
    return reader.attributes().value(DataFolder).toString();
}

// The data folder that the project file being replaced owns, to be replaced along
// with it: the folder it names must bear its own file's name (as saving names it),
// and no other project file beside it may name the same folder (a project file
// copied from another one still names the other's folder).
QString dataFolderOwnedBy(const QString &projectFile)
{
    const QString name = namedDataFolder(projectFile);
    const QString own = BookProject::dataFolderName(projectFile);
    static const QRegularExpression numbered(QStringLiteral("^-\\d+$"));
    if (!ProjectFiles::isSafeRelativePath(name) || name.contains(QLatin1Char('/')) || !name.startsWith(own)
        || (name.size() > own.size() && !numbered.match(name.mid(own.size())).hasMatch()))
        return {};
    const QFileInfo info(projectFile);
    const QString folder = info.absolutePath() + QLatin1Char('/') + name;
    if (!QFileInfo(folder).isDir() || QFileInfo(folder).isSymLink())
        return {};
    const QFileInfoList others = QDir(info.absolutePath())
                                     .entryInfoList({QStringLiteral("*.") + BookProject::fileExtension()},
                                                    QDir::Files | QDir::Hidden);
    for (const QFileInfo &other : others)
        if (clean(other.absoluteFilePath()) != clean(projectFile) && namedDataFolder(other.absoluteFilePath()) == name)
            return {};
    return clean(folder);
}

// True for the names saving gives the folders of a data folder; only such folders are
// removed when a project no longer uses them, whatever a project file may name.
bool isMadeBySaving(const QString &relative)
{
    static const QRegularExpression made(QStringLiteral("^(pages|theme|mobile-theme|parts/[^/]+)(-\\d+)?$"));
    return made.match(relative).hasMatch();
}

// Removes empty folders from path's folder upwards, stopping before stop.
void removeEmptyParents(const QString &path, const QString &stop)
{
    QString folder = QFileInfo(path).absolutePath();
    while (folder != stop && ProjectFiles::isInside(folder, stop) && QDir().rmdir(folder))
        folder = QFileInfo(folder).absolutePath();
}

} // namespace

BookProjectWriter::BookProjectWriter(const BookDocument &document, Mode mode) : m_document(document), m_mode(mode)
{
}

ProjectResult BookProjectWriter::write(const QString &projectFile)
{
    ProjectResult result;
    m_file = clean(projectFile);
    const QString folder = QFileInfo(m_file).absolutePath();
    if (!QFileInfo(folder).isDir())
        return ProjectResult::failure(ProjectError::WriteFailed, ProjectMessages::folderMissing(folder));
    if (!QFileInfo(folder).isWritable())
        return ProjectResult::failure(ProjectError::ReadOnly, ProjectMessages::readOnlyPlace(folder));
    m_sameProject = m_mode != Mode::Copy && !m_document.isUntitled() && clean(m_document.projectFilePath()) == m_file;

    if (!planDataFolder(result) || !planPages(result) || !planFolders(result)) {
        rollBack();
        return result;
    }
    const QString xml = composeXml(result);
    if (xml.isEmpty() || !commitXml(xml, result)) {
        rollBack();
        return result;
    }
    if (!m_missingPictures.isEmpty())
        result.warnings << ProjectMessages::savedWithMissingPictures(m_missingPictures);
    result.warnings << m_leftOut;
    return result;
}

bool BookProjectWriter::planDataFolder(ProjectResult &result)
{
    const QString current = clean(m_document.dataFolder());
    if (m_sameProject && QFileInfo(current).isDir()) {
        m_dataFolder = current;
        if (!QFileInfo(current).isWritable()) {
            result = ProjectResult::failure(ProjectError::ReadOnly, ProjectMessages::readOnlyPlace(current));
            return false;
        }
        return true;
    }
    if (!m_sameProject && QFileInfo(m_file).isFile()) {
        m_oldDataOfTarget = dataFolderOwnedBy(m_file);
        if (m_oldDataOfTarget == current)
            m_oldDataOfTarget.clear();
    }
    // A data folder that is already there belongs to something else (or to the
    // project being replaced, which must stay whole until the new one is in place).
    m_dataFolder = ProjectFiles::freePath(QFileInfo(m_file).absolutePath(), BookProject::dataFolderName(m_file),
                                          ProjectFiles::NameKind::Folder);
    if (!QDir().mkdir(m_dataFolder)) {
        result = ProjectResult::failure(
            ProjectError::WriteFailed,
            ProjectMessages::cannotWrite(m_file, QStringLiteral("the folder \"%1\" cannot be made").arg(m_dataFolder)));
        return false;
    }
    m_freshDataFolder = true;
    m_createdFolders << m_dataFolder;
    return true;
}

bool BookProjectWriter::planPages(ProjectResult &result)
{
    const std::shared_ptr<FlashPageSource> source = m_document.pageSource();
    if (!source)
        return true;
    m_workspace = clean(source->workspace());
    const bool keepFolder = !m_freshDataFolder && !m_workspace.isEmpty() && m_workspace != m_dataFolder
        && ProjectFiles::isInside(m_workspace, m_dataFolder);
    if (keepFolder) {
        m_pageFolder = m_workspace;
    } else {
        m_pageFolder = ProjectFiles::freePath(m_dataFolder, PagesFolderName, ProjectFiles::NameKind::Folder);
        // An imported book's pictures move in whole when they can: nothing is copied.
        if (m_mode != Mode::Copy && m_document.isTemporaryFolder(m_workspace) && QFileInfo(m_workspace).isDir()
            && QDir().rename(m_workspace, m_pageFolder))
            m_workspaceMoved = true;
        else if (!QDir().mkpath(m_pageFolder)) {
            result = ProjectResult::failure(
                ProjectError::WriteFailed,
                ProjectMessages::cannotWrite(m_file,
                                             QStringLiteral("the folder \"%1\" cannot be made").arg(m_pageFolder)));
            return false;
        }
        m_createdFolders << m_pageFolder;
    }

    QStringList paths;
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds)
        for (const FlashPagePtr &page : source->pageList(kind))
            if (page && !page->pageFilePath().isEmpty())
                paths << clean(page->pageFilePath());
    // Source documents stay where they are, unless they were kept with the pages.
    QStringList sources;
    if (const auto *pdf = dynamic_cast<const FlashPageSourcePDF *>(source.get()))
        sources << pdf->pdfFile();
    else if (const auto *img = dynamic_cast<const FlashPageSourceImg *>(source.get()))
        sources << img->imageFiles();
    for (const QString &file : std::as_const(sources))
        if (!m_workspace.isEmpty() && ProjectFiles::isInside(file, m_workspace))
            paths << clean(file);

    const auto staysPut = [&](const QString &path) { return keepFolder && ProjectFiles::isInside(path, m_pageFolder); };
    QList<QPair<QString, QString>> copies;
    // Files of the page folder keep their place in it...
    for (const QString &path : std::as_const(paths)) {
        if (m_pictureMap.contains(path) || staysPut(path) || m_workspace.isEmpty()
            || !ProjectFiles::isInside(path, m_workspace) || path == m_workspace)
            continue;
        const QString target = m_pageFolder + QLatin1Char('/') + QDir(m_workspace).relativeFilePath(path);
        m_pictureMap.insert(path, target);
        m_plannedPaths.insert(target);
        if (!m_workspaceMoved)
            copies.append({path, target});
    }
    // ...pictures from anywhere else get free names in the folder of added pictures.
    const QString added = m_pageFolder + QLatin1Char('/') + AddedPicturesFolderName;
    for (const QString &path : std::as_const(paths)) {
        if (m_pictureMap.contains(path) || staysPut(path))
            continue;
        const QString target = ProjectFiles::freePath(added, QFileInfo(path).fileName(), ProjectFiles::NameKind::File,
                                                      [&](const QString &p) { return m_plannedPaths.contains(p); });
        m_pictureMap.insert(path, target);
        m_plannedPaths.insert(target);
        copies.append({path, target});
    }

    for (const auto &[from, to] : std::as_const(copies)) {
        if (!QFileInfo(from).isFile()) {
            m_missingPictures << QDir::toNativeSeparators(from);
            continue;
        }
        QString error;
        if (!SafeFiles::copyFile(from, to, &error)) {
            result = ProjectResult::failure(ProjectError::WriteFailed, ProjectMessages::cannotWrite(m_file, error));
            return false;
        }
        m_createdFiles << to;
    }
    return true;
}

QString BookProjectWriter::carriedTarget(const QString &source, const QString &defaultName)
{
    QString name = defaultName;
    const QString current = clean(m_document.dataFolder());
    if (!current.isEmpty() && source != current && ProjectFiles::isInside(source, current)) {
        const QString relative = QDir(current).relativeFilePath(source);
        if (ProjectFiles::isSafeRelativePath(relative))
            name = relative; // keeps its place in the new data folder
    }
    const auto taken = [&](const QString &p) {
        return m_plannedPaths.contains(p) || (!m_pageFolder.isEmpty() && ProjectFiles::isInside(p, m_pageFolder));
    };
    QString target = ProjectFiles::freePath(m_dataFolder, name, ProjectFiles::NameKind::Folder, taken);
    if (!m_pageFolder.isEmpty() && ProjectFiles::isInside(target, m_pageFolder))
        target = ProjectFiles::freePath(m_dataFolder, defaultName, ProjectFiles::NameKind::Folder, taken);
    return target;
}

bool BookProjectWriter::planFolders(ProjectResult &result)
{
    const auto carry = [&](const QString &key, const QString &folder, const QString &defaultName) {
        const QString source = clean(folder);
        if (source.isEmpty() || !QFileInfo(source).isDir())
            return true;
        // The data folder itself (the template's extern resources may be the
        // project's folder) stays the data folder; a folder holding the data folder
        // cannot be copied into it and is not carried.
        if (source == m_dataFolder || source == clean(m_document.dataFolder())) {
            m_carried.append({key, source, m_dataFolder});
            return true;
        }
        if (ProjectFiles::isInside(m_dataFolder, source))
            return true;
        if (!m_freshDataFolder && source != m_dataFolder && ProjectFiles::isInside(source, m_dataFolder)) {
            m_carried.append({key, source, source});
            return true;
        }
        const QString target = carriedTarget(source, defaultName);
        m_plannedPaths.insert(target);
        m_createdFolders << target;
        // What the copy leaves out (links, files with other names) is said after saving.
        if (!AppUtility::copyFromPath(source, target, true, QString(), &m_leftOut)) {
            result = ProjectResult::failure(
                ProjectError::WriteFailed,
                ProjectMessages::cannotWrite(m_file, QStringLiteral("\"%1\" cannot be copied").arg(source)));
            return false;
        }
        m_carried.append({key, source, target});
        return true;
    };
    if (!carry(templateKey(false), m_document.flashTmpl()->externResourcePath(), templateFolderName(false))
        || !carry(templateKey(true), m_document.mobileTemplate()->externResourcePath(), templateFolderName(true)))
        return false;
    for (const BookProjectPartPtr &part : m_document.projectParts())
        if (!carry(partKey(part->partName()), part->filesFolder(), partFolderName(part->partName())))
            return false;
    for (const BookDocument::KeptPart &kept : m_document.m_keptParts)
        if (!carry(partKey(kept.name), kept.folder, partFolderName(kept.name)))
            return false;
    return true;
}

QString BookProjectWriter::mapped(const QString &path) const
{
    return path.isEmpty() ? path : m_pictureMap.value(clean(path), path);
}

QString BookProjectWriter::composeXml(ProjectResult &result)
{
    const auto folderOf = [&](const QString &key) {
        for (const Carried &c : m_carried)
            if (c.key == key)
                return QDir(m_dataFolder).relativeFilePath(c.target);
        return QString();
    };

    QStringList fragments;
    // Pages: a copy of the page source pointing at the pictures' places in the project.
    if (const std::shared_ptr<FlashPageSource> source = m_document.pageSource()) {
        QString error;
        std::unique_ptr<FlashPageSource> copy =
            FlashPageSource::fromXmlString(source->toXmlString(), source->workspace(), &error);
        if (!copy) {
            result = ProjectResult::failure(ProjectError::WriteFailed, ProjectMessages::cannotWrite(m_file, error));
            return {};
        }
        copy->setWorkspace(m_pageFolder);
        for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds)
            for (const FlashPagePtr &page : copy->pageList(kind))
                if (page)
                    page->setPageFilePath(mapped(page->pageFilePath()));
        if (auto *pdf = dynamic_cast<FlashPageSourcePDF *>(copy.get())) {
            pdf->setPdfFile(mapped(pdf->pdfFile()));
        } else if (auto *img = dynamic_cast<FlashPageSourceImg *>(copy.get())) {
            QStringList files = img->imageFiles();
            for (QString &file : files)
                file = mapped(file);
            img->setImageFiles(files);
        }
        fragments << copy->toXmlString();
    }

    for (const bool mobile : {false, true}) {
        const FlashTemplate *tmpl = mobile ? m_document.mobileTemplate() : m_document.flashTmpl();
        if (!tmpl->isLoaded())
            continue;
        const QString resources = folderOf(templateKey(mobile));
        fragments << written([&](QXmlStreamWriter &w) {
            w.writeStartElement(Template);
            w.writeAttribute(Kind, mobile ? Mobile : Desktop);
            w.writeAttribute(Name, xmlSafeText(tmpl->tmplName()));
            w.writeAttribute(Style, xmlSafeText(tmpl->currentStyleName()));
            if (!resources.isEmpty())
                w.writeAttribute(Resources, resources);
            w.writeCDATA(xmlSafeText(tmpl->settingsText()));
            w.writeEndElement();
        });
    }

    fragments << m_document.flashOutline()->toXmlString();
    fragments << written([&](QXmlStreamWriter &w) { m_document.pdfSearch()->writeXml(w); });
    fragments << written([&](QXmlStreamWriter &w) { m_document.mobileSearch()->writeXml(w, MobileSearch); });
    fragments << withoutDeclaration(m_document.pagesAnnotations()->toXml());

    QString parts;
    const auto addPart = [&](const QString &name, const QString &elementXml) {
        const QString folder = folderOf(partKey(name));
        if (elementXml.isEmpty() && folder.isEmpty())
            return;
        parts += QStringLiteral("<%1 %2=%3").arg(Part, Name, attribute(name));
        if (!folder.isEmpty())
            parts += QStringLiteral(" %1=%2").arg(Folder, attribute(folder));
        parts += QStringLiteral(">\n") + elementXml + QStringLiteral("</%1>\n").arg(Part);
    };
    for (const BookProjectPartPtr &part : m_document.projectParts()) {
        QDomDocument owner;
        const QDomElement element = part->projectElement(owner);
        const QString text = element.isNull() ? QString() : elementText(element);
        QString error;
        if (!text.isEmpty() && !wellFormed(text, &error)) {
            result = ProjectResult::failure(
                ProjectError::WriteFailed,
                ProjectMessages::cannotWrite(m_file, QStringLiteral("%1: %2").arg(part->partName(), error)));
            return {};
        }
        addPart(part->partName(), text);
    }
    for (const BookDocument::KeptPart &kept : m_document.m_keptParts)
        addPart(kept.name, kept.elementXml);
    if (!parts.isEmpty())
        fragments << QStringLiteral("<%1>\n%2</%1>\n").arg(Parts, parts);

    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<%1 %2=\"%3\" %4=%5")
                      .arg(Root, Version, QString::number(kVersion), DataFolder,
                           attribute(QFileInfo(m_dataFolder).fileName()));
    if (!m_pageFolder.isEmpty())
        xml += QStringLiteral(" %1=%2").arg(PageFolder, attribute(QDir(m_dataFolder).relativeFilePath(m_pageFolder)));
    xml += QStringLiteral(">\n");
    for (const QString &fragment : std::as_const(fragments))
        xml += fragment.trimmed() + QLatin1Char('\n');
    xml += QStringLiteral("</%1>\n").arg(Root);

    // Never write a project that could not be read back.
    QString error;
    if (!wellFormed(xml, &error)) {
        result = ProjectResult::failure(ProjectError::WriteFailed, ProjectMessages::cannotWrite(m_file, error));
        return {};
    }
    return xml;
}

bool BookProjectWriter::commitXml(const QString &xml, ProjectResult &result)
{
    QSaveFile file(m_file);
    file.setDirectWriteFallback(false);
    const QByteArray bytes = xml.toUtf8();
    const bool opened = file.open(QIODevice::WriteOnly);
    // A project that keeps passwords is for its owner's eyes only.
    if (opened && m_document.parts().holdsSecrets())
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Flushed before the commit: Qt's commit puts a file whose buffered bytes could not
    // be written (a full disk) in place all the same, cut short, and says it succeeded.
    if (!opened || file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        result =
            ProjectResult::failure(ProjectError::WriteFailed, ProjectMessages::cannotWrite(m_file, file.errorString()));
        return false;
    }
    return true;
}

void BookProjectWriter::rollBack()
{
    for (auto it = m_createdFiles.crbegin(); it != m_createdFiles.crend(); ++it) {
        QFile::remove(*it);
        removeEmptyParents(*it, m_pageFolder);
    }
    bool keepPages = false;
    if (m_workspaceMoved && !QDir().rename(m_pageFolder, m_workspace))
        keepPages = true; // the pictures cannot go back; never delete the only copy
    for (auto it = m_createdFolders.crbegin(); it != m_createdFolders.crend(); ++it) {
        if (keepPages && ProjectFiles::isInside(m_pageFolder, *it))
            continue;
        removeTree(*it);
        removeEmptyParents(*it, m_dataFolder);
    }
}

void BookProjectWriter::relocate(BookDocument &document)
{
    if (const std::shared_ptr<FlashPageSource> source = document.pageSource()) {
        for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds)
            for (const FlashPagePtr &page : source->pageList(kind))
                if (page)
                    page->setPageFilePath(mapped(page->pageFilePath()));
        if (auto *pdf = dynamic_cast<FlashPageSourcePDF *>(source.get())) {
            pdf->setPdfFile(mapped(pdf->pdfFile()));
        } else if (auto *img = dynamic_cast<FlashPageSourceImg *>(source.get())) {
            QStringList files = img->imageFiles();
            for (QString &file : files)
                file = mapped(file);
            img->setImageFiles(files);
        }
        source->setWorkspace(m_pageFolder);
    }

    QHash<QString, QString> stored;
    if (!m_pageFolder.isEmpty())
        stored.insert(PagesKey, m_pageFolder);
    for (const Carried &c : std::as_const(m_carried)) {
        stored.insert(c.key, c.target);
        if (c.target == c.source)
            continue;
        if (c.key == templateKey(false))
            document.flashTmpl()->setExternResourcePath(c.target);
        else if (c.key == templateKey(true))
            document.mobileTemplate()->setExternResourcePath(c.target);
        for (const BookProjectPartPtr &part : document.projectParts())
            if (c.key == partKey(part->partName()))
                part->setFilesFolder(c.target);
        for (BookDocument::KeptPart &kept : document.m_keptParts)
            if (c.key == partKey(kept.name))
                kept.folder = c.target;
    }

    // Folders the project used before and uses no more.
    if (m_sameProject && !m_freshDataFolder) {
        for (auto it = document.m_storedFolders.cbegin(); it != document.m_storedFolders.cend(); ++it) {
            const QString old = it.value();
            if (old == m_dataFolder || !ProjectFiles::isInside(old, m_dataFolder)
                || !isMadeBySaving(QDir(m_dataFolder).relativeFilePath(old)))
                continue;
            bool inUse = false;
            for (const QString &now : std::as_const(stored))
                inUse = inUse || ProjectFiles::isInside(now, old) || ProjectFiles::isInside(old, now);
            if (!inUse) {
                removeTree(old);
                removeEmptyParents(old, m_dataFolder);
            }
        }
    }
    if (!m_oldDataOfTarget.isEmpty())
        removeTree(m_oldDataOfTarget);

    document.m_storedFolders = stored;
    document.m_projectFile = m_file;
    document.m_dataFolder = m_dataFolder;
    document.removeTemporaryFolders();
}
