#pragma once
// Reads the pages of a PDF for the import with poppler's own renderer. One reader
// per worker thread.
//
// The renderer and its font caches are kept from page to page, and pages come out
// as 24-bit RGB, ready for JPEG encoding without conversion: much cheaper per page
// than the Qt interface, which sets up a new renderer for every page and renders
// 32-bit pixels. The page's text is gathered in the same pass over its content, so
// the content is not read a second time for the search data.
//
// The document is also open through the Qt interface, which tells apart the
// reasons a file cannot be opened, gives the text of a page that was not just
// rendered, and keeps poppler's global settings alive while the renderer uses them.

#include "pages/FlashPageSource.h"

#include <memory>

class PDFDoc;
class TextOutputDev;
namespace Poppler {
class Document;
}

class PdfPageReader : public PageReader
{
public:
    // The document opened for a reader rendering at dpi; null with the reason in
    // result (see PdfDocument::open).
    static std::unique_ptr<PdfPageReader> open(const QString &file, const QString &password, double dpi,
                                               PageResult *result);
    ~PdfPageReader() override;

    // RGB888, at the reader's resolution unless the page is too large for it (see
    // PageImaging::renderDpi). The picture lies in the renderer's own memory: it is
    // good until the next readPage.
    QImage readPage(int sourcePage, PageResult *result) override;
    // The text in reading order with the page's layout kept (as poppler's physical
    // layout gives it), ligatures and other compatibility forms spelt out.
    QString pageText(int sourcePage, FlashPage::Part part) override;

private:
    class Device;
    PdfPageReader();
    // The shown size of a page (rotation applied), in points.
    QSizeF shownSize(int sourcePage) const;

    QString m_file;
    double m_dpi = 72;
    // Declared first so that it is destroyed last.
    std::unique_ptr<Poppler::Document> m_document;
    std::unique_ptr<PDFDoc> m_pdf;
    std::unique_ptr<Device> m_device;
    // The text of the page rendered last, gathered at its render resolution.
    std::unique_ptr<TextOutputDev> m_text;
    int m_textPage = -1;
    double m_textScale = 1;
};
