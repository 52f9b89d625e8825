#pragma once
// Which pages of a PDF enter the book and where each one starts once wide pages are
// split into a left and a right book page.
//
// Modes: 0 no page is split; 1 a page wider than tall (as displayed, rotation
// included) is split; 2 every page is split. The page range picks the source pages
// (see PageRange); the order list gives, for each picked page in order, the book
// page its left half (or whole page) becomes.

#include "pages/PageError.h"
#include "pages/PageUnit.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

class PDFWidePage
{
public:
    PDFWidePage(const QString &file, const QString &password, const QString &pageRange);
    static std::unique_ptr<PDFWidePage> widePageWithFile(const QString &file, const QString &password,
                                                         const QString &pageRange);

    void setDetectWidePage(int mode) { m_mode = mode; }
    int detectWidePage() const { return m_mode; }

    // Opens the document and works out the order list; on failure the list is
    // empty and result() says why.
    void buildLeftPageOrderList();
    // The same with a document the caller has opened already.
    void buildLeftPageOrderList(const Poppler::Document &document);

    const QList<PageUnit> &leftPageOrderList() const { return m_units; }
    // Number of book pages after splitting (0 when the list could not be made).
    int newPDFPageCount() const { return bookPageCount(m_units); }
    // Number of pages of the source document.
    int sourcePageCount() const { return m_sourcePageCount; }
    const PageResult &result() const { return m_result; }

    // Whether a page of this displayed size is split in the given mode.
    static bool splitsPage(const QSizeF &size, int mode);

private:
    QString m_file;
    QString m_password;
    QString m_pageRange;
    int m_mode = 0;
    int m_sourcePageCount = 0;
    QList<PageUnit> m_units;
    PageResult m_result;
};
