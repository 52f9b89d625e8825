#include "pages/PDFWidePage.h"

#include "pages/PageRange.h"
#include "pages/PdfDocument.h"

#include <poppler-qt6.h>

PDFWidePage::PDFWidePage(const QString &file, const QString &password, const QString &pageRange)
    : m_file(file), m_password(password), m_pageRange(pageRange)
{
}

std::unique_ptr<PDFWidePage> PDFWidePage::widePageWithFile(const QString &file, const QString &password,
                                                           const QString &pageRange)
{
    return std::make_unique<PDFWidePage>(file, password, pageRange);
}

bool PDFWidePage::splitsPage(const QSizeF &size, int mode)
{
    if (mode == 2)
        return true;
    return mode == 1 && size.width() > size.height();
}

void PDFWidePage::buildLeftPageOrderList()
{
    m_units.clear();
    m_sourcePageCount = 0;
    std::unique_ptr<Poppler::Document> doc = PdfDocument::open(m_file, m_password, &m_result);
    if (doc)
        buildLeftPageOrderList(*doc);
}

void PDFWidePage::buildLeftPageOrderList(const Poppler::Document &document)
{
    m_units.clear();
    m_result = PageResult::success();
    m_sourcePageCount = document.numPages();
    const auto selected = PageRange::parse(m_pageRange, m_sourcePageCount, &m_result);
    if (!selected)
        return;
    int bookPage = 1;
    for (int number : *selected) {
        PageUnit unit;
        unit.sourcePage = number - 1;
        unit.firstBookPage = bookPage;
        if (m_mode != 0) {
            const std::unique_ptr<Poppler::Page> page = document.page(unit.sourcePage);
            unit.split = page && splitsPage(page->pageSizeF(), m_mode);
        }
        bookPage += unit.bookPageCount();
        m_units << unit;
    }
}
