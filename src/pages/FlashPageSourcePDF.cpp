#include "pages/FlashPageSourcePDF.h"

#include "pages/PDFWidePage.h"
#include "pages/PdfDocument.h"
#include "pages/PdfPageReader.h"

#include <QDomElement>
#include <QXmlStreamWriter>
#include <poppler-qt6.h>

int FlashPageSourcePDF::documentPageCount() const
{
    PageResult result;
    const std::unique_ptr<Poppler::Document> document = PdfDocument::open(m_pdfFile, m_password, &result);
    return document ? document->numPages() : -1;
}

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
    return PdfPageReader::open(m_pdfFile, m_password, pageDPI(), result);
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
