#include "pages/FlashPageSourcePDF.h"

#include "pages/PDFWidePage.h"
#include "pages/PageImaging.h"
#include "pages/PdfDocument.h"

#include <QDomElement>
#include <QFileInfo>
#include <QXmlStreamWriter>
#include <poppler-qt6.h>

namespace {

class PdfPageReader : public PageReader
{
public:
    PdfPageReader(std::unique_ptr<Poppler::Document> doc, double dpi, QString file)
        : m_doc(std::move(doc)), m_dpi(dpi), m_file(std::move(file))
    {
    }

    QImage readPage(int sourcePage, PageResult *result) override
    {
        Poppler::Page *page = pageAt(sourcePage);
        QImage image;
        if (page) {
            const double dpi = PageImaging::renderDpi(page->pageSizeF(), m_dpi);
            image = PageImaging::opaque(page->renderToImage(dpi, dpi));
        }
        if (image.isNull() && result)
            *result = PageResult::failure(PageError::DamagedFile,
                                          PageMessages::text("Page %1 of \"%2\" cannot be rendered; the file may be damaged.")
                                              .arg(sourcePage + 1)
                                              .arg(QFileInfo(m_file).fileName()));
        return image;
    }

    QString pageText(int sourcePage, FlashPage::Part part) override
    {
        Poppler::Page *page = pageAt(sourcePage);
        if (!page)
            return {};
        // Always an explicit rectangle in the page's shown coordinates: given an
        // empty one, poppler measures the page in the document's own coordinates
        // and loses the text of pages whose visible area does not start at 0, 0.
        const QSizeF size = page->pageSizeF();
        const double half = size.width() / 2;
        QRectF area(0, 0, size.width(), size.height());
        if (part == FlashPage::Part::Left)
            area.setWidth(half);
        else if (part == FlashPage::Part::Right)
            area.setLeft(half);
        // Search works on plain letters: ligatures such as "fi" and other
        // compatibility forms are spelt out.
        return page->text(area).normalized(QString::NormalizationForm_KC);
    }

private:
    // The page object is kept for the text that is asked for right after the render.
    Poppler::Page *pageAt(int index)
    {
        if (index != m_pageIndex || !m_page) {
            m_page = m_doc->page(index);
            m_pageIndex = index;
        }
        return m_page.get();
    }

    std::unique_ptr<Poppler::Document> m_doc;
    double m_dpi;
    QString m_file;
    std::unique_ptr<Poppler::Page> m_page;
    int m_pageIndex = -1;
};

} // namespace

PageResult FlashPageSourcePDF::pageUnits(QList<PageUnit> *units) const
{
    PDFWidePage wide(m_pdfFile, m_password, m_pageRange);
    wide.setDetectWidePage(m_widePageMode);
    wide.buildLeftPageOrderList();
    if (units)
        *units = wide.leftPageOrderList();
    return wide.result();
}

std::unique_ptr<PageReader> FlashPageSourcePDF::createReader(PageResult *result) const
{
    std::unique_ptr<Poppler::Document> doc = PdfDocument::open(m_pdfFile, m_password, result);
    if (!doc)
        return nullptr;
    return std::make_unique<PdfPageReader>(std::move(doc), pageDPI(), m_pdfFile);
}

void FlashPageSourcePDF::writeSourceXml(QXmlStreamWriter &w) const
{
    w.writeStartElement(QStringLiteral("Source"));
    w.writeAttribute(QStringLiteral("file"), storedPath(m_pdfFile));
    w.writeAttribute(QStringLiteral("pageRange"), m_pageRange);
    w.writeAttribute(QStringLiteral("widePageMode"), QString::number(m_widePageMode));
    w.writeEndElement();
}

void FlashPageSourcePDF::readSourceXml(const QDomElement &source, const QString &workspace)
{
    m_pdfFile = resolvedPath(source.attribute(QStringLiteral("file")), workspace);
    m_pageRange = source.attribute(QStringLiteral("pageRange"), QStringLiteral("ALL"));
    m_widePageMode = source.attribute(QStringLiteral("widePageMode")).toInt();
}
