#include "project/BookProjectReader.h"

#include "annotations/FlashPagesAnnotations.h"
#include "foundation/AppLog.h"
#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/InputLimits.h"
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
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QXmlStreamReader>

using namespace ProjectXml;

namespace {

QString elementText(const QDomElement &element)
{
    QString text;
    QTextStream stream(&text);
    element.save(stream, 1);
    return text;
}

// The text of a child element of the root exactly as written in the file.
QString rawChildElement(const QString &text, const QString &name)
{
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false); // as the document was parsed
    int depth = 0;
    qint64 start = -1;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 2 && start < 0 && reader.name() == name)
                start = text.lastIndexOf(QLatin1Char('<') + name, reader.characterOffset() - 1);
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 2 && start >= 0 && reader.name() == name)
                return text.mid(start, reader.characterOffset() - start);
            --depth;
        }
    }
    return {};
}

// Whether the file lies in folder, by name and, when it exists, where its links lead.
bool staysInside(const QString &path, const QString &folder)
{
    if (!ProjectFiles::isInside(path, folder))
        return false;
    const QFileInfo info(path);
    return !info.exists() || ProjectFiles::isInside(info.canonicalFilePath(), QFileInfo(folder).canonicalFilePath());
}

// Whether a lost picture can be made again from its source: the source document is
// there and has the page (a project may name any page number). A PDF that cannot be
// opened without its password is taken at its word: the password is asked for when
// the page is made.
class SourceCheck
{
public:
    explicit SourceCheck(const FlashPageSource &source) : m_source(source) {}

    bool canMake(int sourcePage)
    {
        if (const auto *pdf = dynamic_cast<const FlashPageSourcePDF *>(&m_source)) {
            if (!QFileInfo(pdf->pdfFile()).isFile())
                return false;
            if (m_pdfPages == kNotCounted)
                m_pdfPages = pdf->documentPageCount();
            return m_pdfPages < 0 || sourcePage < m_pdfPages;
        }
        if (const auto *img = dynamic_cast<const FlashPageSourceImg *>(&m_source))
            return QFileInfo(img->imageFiles().value(sourcePage)).isFile();
        return false;
    }

private:
    static constexpr int kNotCounted = -2;
    const FlashPageSource &m_source;
    int m_pdfPages = kNotCounted;
};

} // namespace

BookProjectReader::BookProjectReader(const QString &projectFile, BookDocument &document)
    : m_file(QDir::cleanPath(QFileInfo(projectFile).absoluteFilePath())), m_document(document)
{
}

QString BookProjectReader::folderInData(const QString &relative)
{
    if (!ProjectFiles::isSafeRelativePath(relative))
        return {};
    const QString path = QDir::cleanPath(m_dataFolder + QLatin1Char('/') + relative);
    if ((QFileInfo::exists(path) || QFileInfo(path).isSymLink()) && !SafeFiles::liesInside(path, m_dataFolder)
        && SafeFiles::resolvedPath(path) != SafeFiles::resolvedPath(m_dataFolder)) {
        m_leftOut << path;
        return {};
    }
    return path;
}

ProjectResult BookProjectReader::read()
{
    const QFileInfo info(m_file);
    if (!info.exists())
        return ProjectResult::failure(ProjectError::FileNotFound, ProjectMessages::fileNotFound(m_file));
    if (info.isDir())
        return ProjectResult::failure(ProjectError::NotAProject, ProjectMessages::notAProject(m_file));
    if (info.size() > InputLimits::kMaxXmlBytes)
        return ProjectResult::failure(ProjectError::Damaged,
                                      ProjectMessages::damaged(m_file, InputLimits::tooLarge(InputLimits::kMaxXmlBytes)));
    QString why;
    const std::optional<QByteArray> data = InputLimits::readFile(m_file, InputLimits::kMaxXmlBytes, &why);
    if (!data)
        return ProjectResult::failure(ProjectError::FileNotFound, ProjectMessages::cannotRead(m_file, why));
    QString text = QString::fromUtf8(*data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QDomDocument dom;
    XmlParseError parseError;
    if (!parseXmlDocument(dom, text, &parseError)) {
        // Only a file that starts out as one of ours is a damaged project.
        if (!text.left(512).contains(QLatin1Char('<') + Root))
            return ProjectResult::failure(ProjectError::NotAProject, ProjectMessages::notAProject(m_file));
        return ProjectResult::failure(ProjectError::Damaged, ProjectMessages::damaged(m_file, parseError.text()));
    }
    const QDomElement root = dom.documentElement();
    if (root.tagName() != Root)
        return ProjectResult::failure(ProjectError::NotAProject, ProjectMessages::notAProject(m_file));
    if (root.attribute(Version).toInt() > kVersion)
        return ProjectResult::failure(ProjectError::NewerVersion, ProjectMessages::newerVersion(m_file));

    // The data folder is found by the name the project gives, or by the project
    // file's own name when the file was renamed together with its folder.
    const QString named = root.attribute(DataFolder);
    QStringList candidates;
    if (ProjectFiles::isSafeRelativePath(named) && !named.contains(QLatin1Char('/')))
        candidates << named;
    candidates << BookProject::dataFolderName(m_file);
    for (const QString &name : std::as_const(candidates)) {
        const QString folder = info.absolutePath() + QLatin1Char('/') + name;
        if (QFileInfo(folder).isDir()) {
            m_dataFolder = QDir::cleanPath(folder);
            break;
        }
    }
    if (m_dataFolder.isEmpty())
        return ProjectResult::failure(ProjectError::DataFolderMissing,
                                      ProjectMessages::dataFolderMissing(m_file, candidates.first()));
    // The data folder is the project's own, beside its file: one that leads elsewhere
    // through a link (an ancestor, the user's home) would hand every file there to
    // the book.
    if (!SafeFiles::liesInside(m_dataFolder, info.absolutePath()))
        return ProjectResult::failure(ProjectError::Damaged,
                                      ProjectMessages::damaged(m_file, ProjectMessages::leadsOutOfProject(m_dataFolder)));

    ProjectResult result;
    if (!readPages(root, result) || !checkPictures(result) || !readModels(root, text, result))
        return result;
    readTemplates(root, result);
    readParts(root, result);
    for (const QString &path : std::as_const(m_leftOut)) {
        result.warnings << ProjectMessages::leadsOutOfProject(path);
        AppLog::shared().error(ProjectMessages::leadsOutOfProject(path));
    }
    m_document.m_projectFile = m_file;
    m_document.m_dataFolder = m_dataFolder;
    m_document.m_storedFolders = m_storedFolders;
    return result;
}

bool BookProjectReader::readPages(const QDomElement &root, ProjectResult &result)
{
    const QDomElement element = root.firstChildElement(FlashPageSource::elementName());
    if (element.isNull())
        return true; // a book without pages yet
    const QString pageFolder = folderInData(root.attribute(PageFolder, PagesFolderName));
    if (pageFolder.isEmpty()) {
        result = ProjectResult::failure(
            ProjectError::Damaged,
            ProjectMessages::damaged(m_file, QStringLiteral("the page folder \"%1\" lies outside the project")
                                                 .arg(root.attribute(PageFolder))));
        return false;
    }
    QString error;
    std::unique_ptr<FlashPageSource> source = FlashPageSource::fromXml(element, pageFolder, &error);
    if (!source) {
        result = ProjectResult::failure(
            ProjectError::Damaged,
            ProjectMessages::damagedPart(
                m_file, loadAppString(QStringLiteral("BookProject-pages"), QStringLiteral("pages")), error));
        return false;
    }
    // Every picture lies in the data folder, where saving puts them: a project names
    // no other file of the user's to be copied into a book or a saved copy.
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds)
        for (const FlashPagePtr &page : source->pageList(kind)) {
            const QString path = page ? page->pageFilePath() : QString();
            if (!path.isEmpty() && !staysInside(path, m_dataFolder)) {
                result = ProjectResult::failure(ProjectError::Damaged,
                                                ProjectMessages::damaged(m_file, ProjectMessages::pictureOutsideProject(path)));
                return false;
            }
        }
    m_document.setPageSource(std::shared_ptr<FlashPageSource>(std::move(source)));
    m_storedFolders.insert(PagesKey, pageFolder);
    return true;
}

bool BookProjectReader::checkPictures(ProjectResult &result)
{
    const std::shared_ptr<FlashPageSource> source = m_document.pageSource();
    if (!source)
        return true;
    const auto shown = [&](const QString &path, int page) {
        const QString name = ProjectFiles::isInside(path, m_dataFolder)
            ? QDir(QFileInfo(m_file).absolutePath()).relativeFilePath(path)
            : QDir::toNativeSeparators(path);
        return loadAppString(QStringLiteral("BookProject-%1 (page %2)"), QStringLiteral("%1 (page %2)"))
            .arg(path.isEmpty() ? QStringLiteral("?") : name)
            .arg(page);
    };
    // A picture can be made again when the large picture of its page is there, or
    // when that can be rendered again from the source document.
    QStringList lost, remade;
    SourceCheck origin(*source);
    const QList<FlashPagePtr> &large = source->pages();
    QList<bool> largeUsable(large.size());
    for (int i = 0; i < large.size(); ++i) {
        const FlashPagePtr &page = large.at(i);
        const QString path = page ? page->pageFilePath() : QString();
        if (!path.isEmpty() && QFileInfo(path).isFile()) {
            largeUsable[i] = true;
        } else if (page && page->hasOrigin() && origin.canMake(page->sourcePage())) {
            largeUsable[i] = true;
            remade << shown(path, i + 1);
        } else {
            lost << shown(path, i + 1);
        }
    }
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
        if (kind == FlashPageSource::PictureKind::Large)
            continue;
        const QList<FlashPagePtr> &list = source->pageList(kind);
        for (int i = 0; i < list.size(); ++i) {
            const QString path = list.at(i) ? list.at(i)->pageFilePath() : QString();
            if (!path.isEmpty() && QFileInfo(path).isFile())
                continue;
            if (largeUsable.value(i))
                remade << shown(path, i + 1);
            else if (i >= large.size())
                lost << shown(path, i + 1);
        }
    }
    if (!lost.isEmpty()) {
        result = ProjectResult::failure(ProjectError::PictureMissing, ProjectMessages::picturesMissing(lost));
        return false;
    }
    if (!remade.isEmpty())
        result.warnings << ProjectMessages::picturesWillBeMade(remade);
    return true;
}

bool BookProjectReader::readModels(const QDomElement &root, const QString &text, ProjectResult &result)
{
    const auto damaged = [&](const QString &part, const QString &error) {
        result = ProjectResult::failure(ProjectError::Damaged, ProjectMessages::damagedPart(m_file, part, error));
        return false;
    };
    QString error;
    const QDomElement outlineElement = root.firstChildElement(FlashOutline::elementName());
    if (!outlineElement.isNull()) {
        auto outline = std::make_shared<FlashOutline>();
        if (!outline->readXml(outlineElement, &error))
            return damaged(loadAppString(QStringLiteral("BookProject-bookmarks"), QStringLiteral("bookmarks")), error);
        m_document.setFlashOutline(outline);
    }
    for (const bool mobile : {false, true}) {
        const QDomElement element = root.firstChildElement(mobile ? MobileSearch : PDFSearch::elementName());
        if (element.isNull())
            continue;
        auto search = std::make_shared<PDFSearch>();
        if (!search->readXml(element, &error))
            return damaged(loadAppString(QStringLiteral("BookProject-search text"), QStringLiteral("search text")),
                           error);
        if (mobile)
            m_document.setMobileSearch(search);
        else
            m_document.setPdfSearch(search);
    }
    if (!root.firstChildElement(Annotations).isNull()) {
        auto annotations = std::make_shared<FlashPagesAnnotations>();
        if (!annotations->loadFromXml(rawChildElement(text, Annotations), &error))
            return damaged(
                loadAppString(QStringLiteral("BookProject-page annotations"), QStringLiteral("page annotations")),
                error);
        m_document.setPagesAnnotations(annotations);
    } else if (m_document.pageSource()) {
        m_document.setPagesAnnotations(std::make_shared<FlashPagesAnnotations>(m_document.pageSource()->pageCount()));
    }
    return true;
}

void BookProjectReader::readTemplates(const QDomElement &root, ProjectResult &result)
{
    for (const bool mobile : {false, true}) {
        QDomElement element;
        for (QDomElement e = root.firstChildElement(Template); !e.isNull(); e = e.nextSiblingElement(Template))
            if ((e.attribute(Kind) == Mobile) == mobile) {
                element = e;
                break;
            }
        FlashTemplate &tmpl = mobile ? *m_document.mobileTemplate() : *m_document.flashTmpl();
        const QString fallback =
            mobile ? FlashTemplate::defaultMobileTemplateName() : FlashTemplate::defaultTemplateName();
        const QString name = element.attribute(Name);
        const QString file = name.isEmpty() ? QString() : BookProject::locateTemplate(name, mobile);
        if (file.isEmpty() || !tmpl.loadTemplateXmlFile(file)) {
            if (!name.isEmpty())
                result.warnings << ProjectMessages::templateMissing(name, fallback);
            if (!tmpl.loadTemplateXmlFile(BookProject::locateTemplate(fallback, mobile))) {
                result.warnings << tmpl.errorString();
                continue;
            }
        }
        tmpl.setIsMobileTemplate(mobile);
        // The values come from a file that may have been made by anyone: a plain path
        // counts only inside the project or the program's own files.
        tmpl.setPlainPathFolders({m_dataFolder, AppResources::resourcePath()});
        if (element.isNull())
            continue;
        const QString style = element.attribute(Style);
        if (!style.isEmpty() && tmpl.styleNames().contains(style))
            tmpl.applyStyle(style);
        tmpl.loadSettingsFromText(element.text());
        const QString resources = element.attribute(Resources);
        if (!resources.isEmpty()) {
            const QString folder = folderInData(resources);
            if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
                tmpl.setExternResourcePath(folder);
                m_storedFolders.insert(templateKey(mobile), folder);
            } else {
                result.warnings << ProjectMessages::partFilesMissing(tmpl.tmplName(), resources);
            }
        }
        if (const QStringList unused = tmpl.unresolvedFileSettings(); !unused.isEmpty())
            result.warnings << ProjectMessages::filesOutsideProject(tmpl.tmplName(), unused);
    }
}

void BookProjectReader::readParts(const QDomElement &root, ProjectResult &result)
{
    const QDomElement parts = root.firstChildElement(Parts);
    for (QDomElement e = parts.firstChildElement(Part); !e.isNull(); e = e.nextSiblingElement(Part)) {
        const QString name = e.attribute(Name);
        if (name.isEmpty())
            continue;
        const QDomElement element = e.firstChildElement();
        QString folder;
        const QString relative = e.attribute(Folder);
        if (!relative.isEmpty()) {
            const QString path = folderInData(relative);
            if (!path.isEmpty() && QFileInfo(path).isDir()) {
                folder = path;
                m_storedFolders.insert(partKey(name), path);
            } else {
                result.warnings << ProjectMessages::partFilesMissing(name, relative);
            }
        }
        if (const BookProjectPartPtr part = m_document.projectPart(name)) {
            // The part learns where its files are first: its element names them
            // relative to that folder.
            part->setFilesFolder(folder);
            QString error;
            if (!element.isNull() && part->loadProjectElement(element, &error))
                continue;
            if (element.isNull() && error.isEmpty())
                error = QStringLiteral("<%1> holds no element.").arg(Part);
            // The part stays out of this book; what the project holds for it is kept
            // and saved back as it was, so nothing is lost.
            result.warnings << ProjectMessages::partNotRestored(name, error);
            m_document.removeProjectPart(name);
        }
        m_document.m_keptParts.append({name, element.isNull() ? QString() : elementText(element), folder});
    }
}
