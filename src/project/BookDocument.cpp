#include "project/BookDocument.h"

#include "annotations/FlashPagesAnnotations.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "pages/PageImport.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <map>

namespace {

QMutex registryMutex;

std::map<QString, BookDocument::PartFactory> &registry()
{
    static std::map<QString, BookDocument::PartFactory> factories;
    return factories;
}

bool isInside(const QString &path, const QString &folder)
{
    const QString relative = QDir(folder).relativeFilePath(path);
    return !relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative);
}

} // namespace

BookDocument::BookDocument()
    : m_template(std::make_unique<FlashTemplate>()),
      m_mobileTemplate(std::make_unique<FlashTemplate>()),
      m_outline(std::make_shared<FlashOutline>()),
      m_pdfSearch(std::make_shared<PDFSearch>()),
      m_mobileSearch(std::make_shared<PDFSearch>()),
      m_annotations(std::make_shared<FlashPagesAnnotations>())
{
    m_mobileTemplate->setIsMobileTemplate(true);
    std::map<QString, PartFactory> factories;
    {
        QMutexLocker lock(&registryMutex);
        factories = registry();
    }
    for (const auto &[name, factory] : factories)
        if (BookProjectPartPtr made = factory ? factory() : nullptr)
            setPart(made);
}

BookDocument::~BookDocument()
{
    removeTemporaryFolders();
}

QString BookDocument::title() const
{
    if (m_projectFile.isEmpty())
        return loadAppString(QStringLiteral("BookDocument-Untitled"), QStringLiteral("Untitled"));
    return QFileInfo(m_projectFile).completeBaseName();
}

void BookDocument::setPageSource(const std::shared_ptr<FlashPageSource> &source)
{
    m_pageSource = source;
}

QString BookDocument::createTemporaryWorkspace()
{
    const QString root = createUniqueTempFolder();
    if (root.isEmpty())
        return {};
    m_temporaryRoots << root;
    return root + QStringLiteral("/pages");
}

bool BookDocument::isTemporaryFolder(const QString &folder) const
{
    if (folder.isEmpty())
        return false;
    for (const QString &root : m_temporaryRoots)
        if (isInside(folder, root))
            return true;
    return false;
}

void BookDocument::removeTemporaryFolders()
{
    for (const QString &root : std::as_const(m_temporaryRoots))
        removeTree(root);
    m_temporaryRoots.clear();
}

void BookDocument::detachFromProject()
{
    m_projectFile.clear();
    m_dataFolder.clear();
    m_storedFolders.clear();
}

void BookDocument::adoptImport(const PageImport &import)
{
    m_pageSource = import.pageSource();
    m_outline = import.outline() ? import.outline() : std::make_shared<FlashOutline>();
    m_pdfSearch = import.pdfSearch() ? import.pdfSearch() : std::make_shared<PDFSearch>();
    m_mobileSearch = import.mobileSearch() ? import.mobileSearch() : std::make_shared<PDFSearch>();
    m_annotations = std::make_shared<FlashPagesAnnotations>(m_pageSource ? m_pageSource->pageCount() : 0);
}

bool BookDocument::loadDefaultTemplates(QString *error)
{
    const auto load = [&](FlashTemplate &tmpl, const QString &name, bool mobile) {
        if (!tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(name))) {
            if (error)
                *error = tmpl.errorString();
            return false;
        }
        tmpl.setIsMobileTemplate(mobile);
        return true;
    };
    return load(*m_template, FlashTemplate::defaultTemplateName(), false)
        && load(*m_mobileTemplate, FlashTemplate::defaultMobileTemplateName(), true);
}

void BookDocument::setFlashOutline(const std::shared_ptr<FlashOutline> &outline)
{
    m_outline = outline ? outline : std::make_shared<FlashOutline>();
}

void BookDocument::setPdfSearch(const std::shared_ptr<PDFSearch> &search)
{
    m_pdfSearch = search ? search : std::make_shared<PDFSearch>();
}

void BookDocument::setMobileSearch(const std::shared_ptr<PDFSearch> &search)
{
    m_mobileSearch = search ? search : std::make_shared<PDFSearch>();
}

void BookDocument::setPagesAnnotations(const std::shared_ptr<FlashPagesAnnotations> &annotations)
{
    m_annotations = annotations ? annotations : std::make_shared<FlashPagesAnnotations>();
}

BookProjectPartPtr BookDocument::part(const QString &name) const
{
    for (const BookProjectPartPtr &p : m_parts)
        if (p->partName() == name)
            return p;
    return nullptr;
}

void BookDocument::setPart(const BookProjectPartPtr &part)
{
    if (!part)
        return;
    for (BookProjectPartPtr &p : m_parts) {
        if (p->partName() == part->partName()) {
            p = part;
            return;
        }
    }
    m_parts << part;
}

void BookDocument::removePart(const QString &name)
{
    m_parts.removeIf([&](const BookProjectPartPtr &p) { return p->partName() == name; });
}

void BookDocument::registerPartType(const QString &name, const PartFactory &factory)
{
    QMutexLocker lock(&registryMutex);
    registry()[name] = factory;
}

void BookDocument::unregisterPartType(const QString &name)
{
    QMutexLocker lock(&registryMutex);
    registry().erase(name);
}
