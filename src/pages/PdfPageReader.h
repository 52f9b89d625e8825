#pragma once
// Reads the pages of a PDF for the import: renders them with poppler's own renderer
// and takes their text. One reader per worker thread.
//
// The renderer and its font caches are kept from page to page, and pages come out
// as 24-bit RGB, ready for JPEG encoding without conversion; this is several times
// cheaper per page than the Qt interface, which sets up a new renderer for every
// page and renders 32-bit pixels. The text comes through the Qt interface, whose
// open document also keeps poppler's global settings alive while the renderer
// uses them.

#include "pages/FlashPageSource.h"

#include <memory>

class PDFDoc;
class SplashOutputDev;
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
    QString pageText(int sourcePage, FlashPage::Part part) override;

private:
    PdfPageReader() = default;

    QString m_file;
    double m_dpi = 72;
    // Declared first so that it is destroyed last.
    std::unique_ptr<Poppler::Document> m_document;
    std::unique_ptr<PDFDoc> m_pdf;
    std::unique_ptr<SplashOutputDev> m_renderer;
};
