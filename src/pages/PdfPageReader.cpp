#include "pages/PdfPageReader.h"

#include "foundation/AppStrings.h"
#include "pages/PageImaging.h"
#include "pages/PdfDocument.h"

#include <QFile>
#include <QFileInfo>
#include <mutex>
#include <poppler-qt6.h>

#include <ErrorCodes.h>
#include <GfxState.h>
#include <PDFDoc.h>
#include <Page.h>
#include <SplashOutputDev.h>
#include <TextOutputDev.h>
#include <goo/GooString.h>
#include <splash/SplashBitmap.h>

// Renders a page and, when given a text device, hands that device the text drawn,
// as if it read the page itself: one pass over the page's content for both.
class PdfPageReader::Device : public SplashOutputDev
{
public:
    // White paper, 24-bit pixels: the Qt interface's settings otherwise.
    Device() : SplashOutputDev(splashModeRGB8, 4, false, white(), true) {}

    void setText(TextOutputDev *text) { m_text = text; }

    bool needCharCount() override { return m_text != nullptr; }
    void startPage(int page, GfxState *state, XRef *xref) override
    {
        SplashOutputDev::startPage(page, state, xref);
        if (m_text)
            m_text->startPage(page, state, xref);
    }
    void endPage() override
    {
        SplashOutputDev::endPage();
        if (m_text)
            m_text->endPage();
    }
    void restoreState(GfxState *state) override
    {
        SplashOutputDev::restoreState(state);
        if (m_text)
            m_text->restoreState(state);
    }
    void updateFont(GfxState *state) override
    {
        SplashOutputDev::updateFont(state);
        if (m_text)
            m_text->updateFont(state);
    }
    void beginString(GfxState *state, const GooString *s) override
    {
        SplashOutputDev::beginString(state, s);
        if (m_text)
            m_text->beginString(state, s);
    }
    void endString(GfxState *state) override
    {
        SplashOutputDev::endString(state);
        if (m_text)
            m_text->endString(state);
    }
    void drawChar(GfxState *state, double x, double y, double dx, double dy, double originX, double originY,
                  CharCode code, int nBytes, const Unicode *u, int uLen) override
    {
        SplashOutputDev::drawChar(state, x, y, dx, dy, originX, originY, code, nBytes, u, uLen);
        if (m_text)
            m_text->drawChar(state, x, y, dx, dy, originX, originY, code, nBytes, u, uLen);
    }
    // The renderer draws Type 3 characters from their glyph procedures instead of
    // through drawChar; the text device learns of them here.
    bool beginType3Char(GfxState *state, double x, double y, double dx, double dy, CharCode code,
                        const Unicode *u, int uLen) override
    {
        if (m_text)
            m_text->drawChar(state, x, y, dx, dy, 0, 0, code, 1, u, uLen);
        return SplashOutputDev::beginType3Char(state, x, y, dx, dy, code, u, uLen);
    }
    void incCharCount(int nChars) override
    {
        SplashOutputDev::incCharCount(nChars);
        if (m_text)
            m_text->incCharCount(nChars);
    }
    void beginActualText(GfxState *state, const GooString *text) override
    {
        SplashOutputDev::beginActualText(state, text);
        if (m_text)
            m_text->beginActualText(state, text);
    }
    void endActualText(GfxState *state) override
    {
        SplashOutputDev::endActualText(state);
        if (m_text)
            m_text->endActualText(state);
    }

private:
    static SplashColorPtr white()
    {
        static SplashColor paper = {0xff, 0xff, 0xff};
        return paper;
    }

    TextOutputDev *m_text = nullptr;
};

namespace {

std::unique_ptr<PDFDoc> openPdf(const QString &file, const QByteArray &password)
{
    std::optional<GooString> pw;
    if (!password.isEmpty())
        pw = GooString(password.constData(), size_t(password.size()));
    return std::make_unique<PDFDoc>(std::make_unique<GooString>(QFile::encodeName(file).constData()), pw, pw);
}

// poppler sets up its shared colour-management state the first time a graphics
// state is made, without a lock; the first pages rendered on several threads at
// once could corrupt it. It is set up here, once, before any reader renders.
void prepareRendering()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const PDFRectangle box(0, 0, 1, 1);
        const GfxState state(72, 72, &box, 0, true);
    });
}

// Search works on plain letters: ligatures such as "fi" and other compatibility
// forms are spelt out.
QString searchText(const QString &text)
{
    return text.normalized(QString::NormalizationForm_KC);
}

} // namespace

PdfPageReader::PdfPageReader() = default;
PdfPageReader::~PdfPageReader() = default;

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

    prepareRendering();
    std::unique_ptr<PdfPageReader> reader(new PdfPageReader);
    reader->m_file = file;
    reader->m_dpi = dpi;
    reader->m_document = std::move(document);
    reader->m_pdf = std::move(pdf);
    // Antialiased text and shapes, no font hinting: as the Qt interface renders.
    reader->m_device = std::make_unique<Device>();
    reader->m_device->setFontAntialias(true);
    reader->m_device->setVectorAntialias(true);
    reader->m_device->setFreeTypeHinting(false, false);
    reader->m_device->startDoc(reader->m_pdf.get());
    return reader;
}

QSizeF PdfPageReader::shownSize(int sourcePage) const
{
    const int number = sourcePage + 1;
    const QSizeF size(m_pdf->getPageCropWidth(number), m_pdf->getPageCropHeight(number));
    return m_pdf->getPageRotate(number) % 180 ? size.transposed() : size;
}

QImage PdfPageReader::readPage(int sourcePage, PageResult *result)
{
    QImage image;
    m_text.reset();
    m_textPage = -1;
    // Checked before anything is added to it: a page number from a project file may be anything.
    const bool inDocument = sourcePage >= 0 && sourcePage < m_pdf->getNumPages();
    const int number = inDocument ? sourcePage + 1 : 0;
    if (inDocument && m_pdf->getPage(number)) {
        const double dpi = PageImaging::renderDpi(shownSize(sourcePage), m_dpi);
        // The text device keeps the page's layout, as the Qt interface's page text does.
        m_text = std::make_unique<TextOutputDev>(nullptr, true, 0, false, false);
        m_device->setText(m_text->isOk() ? m_text.get() : nullptr);
        m_pdf->displayPageSlice(m_device.get(), number, dpi, dpi, 0, false, true, false, -1, -1, -1, -1);
        m_device->setText(nullptr);
        if (m_text->isOk()) {
            m_textPage = sourcePage;
            m_textScale = dpi / 72.0;
        }
        // The renderer keeps its bitmap for the next page of the same size: no new
        // memory to fault in for every page.
        SplashBitmap *bitmap = m_device->getBitmap();
        if (bitmap && bitmap->getMode() == splashModeRGB8 && bitmap->getDataPtr())
            image = QImage(bitmap->getDataPtr(), bitmap->getWidth(), bitmap->getHeight(), bitmap->getRowSize(),
                           QImage::Format_RGB888);
    }
    if (image.isNull() && result)
        *result = PageResult::failure(
            PageError::DamagedFile,
            loadAppString(QStringLiteral("PageImport-Page %1 of \"%2\" cannot be rendered; the file may be damaged."),
                          QStringLiteral("Page %1 of \"%2\" cannot be rendered; the file may be damaged."))
                .arg(qint64(sourcePage) + 1)
                .arg(QFileInfo(m_file).fileName()));
    return image;
}

QString PdfPageReader::pageText(int sourcePage, FlashPage::Part part)
{
    if (sourcePage < 0 || sourcePage >= m_pdf->getNumPages())
        return {};
    // Always an explicit rectangle in the page's shown coordinates: given an empty
    // one, poppler measures the page in the document's own coordinates and loses the
    // text of pages whose visible area does not start at 0, 0.
    const QSizeF size = shownSize(sourcePage);
    const double half = size.width() / 2;
    QRectF area(0, 0, size.width(), size.height());
    if (part == FlashPage::Part::Left)
        area.setWidth(half);
    else if (part == FlashPage::Part::Right)
        area.setLeft(half);

    if (sourcePage == m_textPage && m_text) {
        const double k = m_textScale;
        const std::unique_ptr<GooString> text(m_text->getText(area.left() * k, area.top() * k, area.right() * k,
                                                              area.bottom() * k));
        return searchText(text ? QString::fromUtf8(text->c_str()) : QString());
    }
    const std::unique_ptr<Poppler::Page> page = m_document->page(sourcePage);
    return page ? searchText(page->text(area)) : QString();
}
