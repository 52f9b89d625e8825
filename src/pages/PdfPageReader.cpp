#include "pages/PdfPageReader.h"

#include "foundation/AppStrings.h"
#include "pages/PageImaging.h"
#include "pages/PdfDocument.h"

#include <QFile>
#include <QFileInfo>
#include <poppler-qt6.h>

#include <ErrorCodes.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <goo/GooString.h>
#include <splash/SplashBitmap.h>

namespace {

std::unique_ptr<PDFDoc> openPdf(const QString &file, const QByteArray &password)
{
    std::optional<GooString> pw;
    if (!password.isEmpty())
        pw = GooString(password.constData(), size_t(password.size()));
    return std::make_unique<PDFDoc>(std::make_unique<GooString>(QFile::encodeName(file).constData()), pw, pw);
}

} // namespace

std::unique_ptr<PdfPageReader> PdfPageReader::open(const QString &file, const QString &password, double dpi,
                                                   PageResult *result)
{
    std::unique_ptr<Poppler::Document> document = PdfDocument::open(file, password, result);
    if (!document)
        return nullptr;
    // The same password encodings as PdfDocument::open: UTF-8, then Latin-1.
    std::unique_ptr<PDFDoc> pdf = openPdf(file, password.toUtf8());
    if (!pdf->isOk() && pdf->getErrorCode() == errEncrypted && password.toLatin1() != password.toUtf8())
        pdf = openPdf(file, password.toLatin1());
    if (!pdf->isOk() || pdf->getNumPages() <= 0) {
        if (result)
            *result = PageResult::failure(PageError::DamagedFile, PageMessages::damagedPdf(file));
        return nullptr;
    }

    std::unique_ptr<PdfPageReader> reader(new PdfPageReader);
    reader->m_file = file;
    reader->m_dpi = dpi;
    reader->m_document = std::move(document);
    reader->m_pdf = std::move(pdf);
    // White paper, 24-bit pixels, antialiased text and shapes, no font hinting: the
    // settings the Qt interface renders with.
    SplashColor paper;
    paper[0] = paper[1] = paper[2] = 0xff;
    reader->m_renderer = std::make_unique<SplashOutputDev>(splashModeRGB8, 4, false, paper, true);
    reader->m_renderer->setFontAntialias(true);
    reader->m_renderer->setVectorAntialias(true);
    reader->m_renderer->setFreeTypeHinting(false, false);
    reader->m_renderer->startDoc(reader->m_pdf.get());
    return reader;
}

PdfPageReader::~PdfPageReader() = default;

QImage PdfPageReader::readPage(int sourcePage, PageResult *result)
{
    const int number = sourcePage + 1;
    QImage image;
    if (number >= 1 && number <= m_pdf->getNumPages() && m_pdf->getPage(number)) {
        const QSizeF size(m_pdf->getPageCropWidth(number), m_pdf->getPageCropHeight(number));
        const double dpi = PageImaging::renderDpi(size, m_dpi);
        m_pdf->displayPageSlice(m_renderer.get(), number, dpi, dpi, 0, false, true, false, -1, -1, -1, -1);
        // The renderer keeps its bitmap for the next page of the same size: no new
        // memory to fault in for every page.
        SplashBitmap *bitmap = m_renderer->getBitmap();
        if (bitmap && bitmap->getMode() == splashModeRGB8 && bitmap->getDataPtr())
            image = QImage(bitmap->getDataPtr(), bitmap->getWidth(), bitmap->getHeight(), bitmap->getRowSize(),
                           QImage::Format_RGB888);
    }
    if (image.isNull() && result)
        *result = PageResult::failure(
            PageError::DamagedFile,
            loadAppString(QStringLiteral("PageImport-Page %1 of \"%2\" cannot be rendered; the file may be damaged."),
                          QStringLiteral("Page %1 of \"%2\" cannot be rendered; the file may be damaged."))
                .arg(sourcePage + 1)
                .arg(QFileInfo(m_file).fileName()));
    return image;
}

QString PdfPageReader::pageText(int sourcePage, FlashPage::Part part)
{
    const std::unique_ptr<Poppler::Page> page = m_document->page(sourcePage);
    if (!page)
        return {};
    // Always an explicit rectangle in the page's shown coordinates: given an empty
    // one, poppler measures the page in the document's own coordinates and loses the
    // text of pages whose visible area does not start at 0, 0.
    const QSizeF size = page->pageSizeF();
    const double half = size.width() / 2;
    QRectF area(0, 0, size.width(), size.height());
    if (part == FlashPage::Part::Left)
        area.setWidth(half);
    else if (part == FlashPage::Part::Right)
        area.setLeft(half);
    // Search works on plain letters: ligatures such as "fi" and other compatibility
    // forms are spelt out.
    return page->text(area).normalized(QString::NormalizationForm_KC);
}
