#include "project/BookDocument.h"

#include "annotations/FlashPagesAnnotations.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "pages/PageImport.h"
#include "project/BookPartsStore.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isInside(const QString &path, const QString &folder)
{
    const QString relative = QDir(folder).relativeFilePath(path);
    return !relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative);
}

} // namespace

BookDocument::BookDocument()
    : m_template(std::make_unique<FlashTemplate>()),
      m_mobileTemplate(std::make_unique<FlashTemplate>()),
      m_pdfSearch(std::make_shared<PDFSearch>()),
      m_mobileSearch(std::make_shared<PDFSearch>()),
      m_projectParts(BookPartsStore::projectParts(m_bookParts))
{
    m_mobileTemplate->setIsMobileTemplate(true);
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
    m_bookParts.setOutline(import.outline());
    m_pdfSearch = import.pdfSearch() ? import.pdfSearch() : std::make_shared<PDFSearch>();
    m_mobileSearch = import.mobileSearch() ? import.mobileSearch() : std::make_shared<PDFSearch>();
    m_bookParts.setAnnotations(std::make_shared<FlashPagesAnnotations>(m_pageSource ? m_pageSource->pageCount() : 0));
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

void BookDocument::setPdfSearch(const std::shared_ptr<PDFSearch> &search)
{
    m_pdfSearch = search ? search : std::make_shared<PDFSearch>();
}

void BookDocument::setMobileSearch(const std::shared_ptr<PDFSearch> &search)
{
    m_mobileSearch = search ? search : std::make_shared<PDFSearch>();
}

BookProjectPartPtr BookDocument::projectPart(const QString &name) const
{
    for (const BookProjectPartPtr &p : m_projectParts)
        if (p->partName() == name)
            return p;
    return nullptr;
}

void BookDocument::removeProjectPart(const QString &name)
{
    m_projectParts.removeIf([&](const BookProjectPartPtr &p) { return p->partName() == name; });
}
