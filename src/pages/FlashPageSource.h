#pragma once
// The ordered pages of a book and the folders their pictures live in.
//
// Workspace layout (the folder belongs to the page source alone):
//   <workspace>/large/N.jpg    the page as rendered once from the source (`pages`)
//   <workspace>/normal/N.jpg   fitted into the book's page box (`normalPages`)
//   <workspace>/thumb/N.jpg    thumbnail (`thumbPages`)
//   <workspace>/phone/N.jpg    picture for the mobile book (`phonePages`)
// N is the book page number from 1; sizes are described in PageImaging.h. A picture
// that was made again after pages were inserted may be called "N_2.jpg" instead,
// so that it never overwrites a picture another page still uses.
//
// The four lists run in step: entry i of each is book page i + 1. Other parts of the
// program may insert, replace or remove entries (keeping the lists in step), and
// may point an entry at a picture outside the workspace. A picture that is the same
// as another of its page is one file named by both entries (a normal or phone picture
// of the large picture's size names large/N.jpg; a phone picture of the normal one's
// size names the normal file): a file more than one entry names is never written over.
//
// Subclasses know the source: FlashPageSourcePDF (a PDF document) and
// FlashPageSourceImg (a list of pictures). Each can say which book pages the source
// gives (pageUnits) and read a source page as a picture (createReader).
//
// The page passes, run before an output, make whatever is missing:
//   generateBasePages    the large pictures (all of them when the list is empty,
//                        else the missing files of pages that know their origin)
//   generateNormalPages  normal and thumbnail pictures missing, or normal pictures
//                        made for another page box than the present one
//   generatePhonePages   missing phone pictures
// They write straight into the workspace and number the pages 1..N.
//
// Saved form (embedded in the project file; paths inside the workspace are stored
// relative to it):
//   <PageSource type="pdf" qualityLevel="0" normalWidth="1080" normalHeight="1440">
//     <Source file="/home/ann/book.pdf" pageRange="ALL" widePageMode="1"/>
//     <Pages kind="large">
//       <Page file="large/1.jpg" sourcePage="0" part="left"/> ...
//     </Pages>
//     <Pages kind="normal"> ... <Pages kind="thumb"> ... <Pages kind="phone"> ...
//   </PageSource>
// A picture source writes <Source><Picture file="..."/>...</Source>. A PDF password
// is never saved.

#include "pages/FlashPage.h"
#include "pages/PageError.h"
#include "pages/PageUnit.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <memory>

class QDomElement;
class QXmlStreamWriter;

// Reads the pages of a source as pictures. Not thread-safe: one per worker thread.
class PageReader
{
public:
    virtual ~PageReader() = default;
    // The opaque picture of a source page at the source's resolution; null with a
    // message on failure. It may lie in the reader's own memory, reused by the
    // next readPage: finish with it (or copy it) before reading the next page.
    virtual QImage readPage(int sourcePage, PageResult *result) = 0;
    // The text of a source page (or of one half), for search; empty when none.
    virtual QString pageText(int sourcePage, FlashPage::Part part)
    {
        Q_UNUSED(sourcePage);
        Q_UNUSED(part);
        return {};
    }
};

class FlashPageSource
{
public:
    enum class PictureKind { Large, Normal, Thumb, Phone };
    // Every kind of picture a page has, in that order.
    static constexpr PictureKind kPictureKinds[] = {PictureKind::Large, PictureKind::Normal, PictureKind::Thumb,
                                                    PictureKind::Phone};

    virtual ~FlashPageSource();

    // "pdf" or "img".
    virtual QString sourceType() const = 0;

    QString workspace() const { return m_workspace; }
    void setWorkspace(const QString &folder) { m_workspace = folder; }
    static QString folderName(PictureKind kind);
    QString pictureFolder(PictureKind kind) const;
    QString picturePath(PictureKind kind, int bookPage) const;

    // The book's page box that normal pictures are fitted into.
    QSize normalPageSize() const { return m_normalPageSize; }
    void setNormalPageSize(const QSize &size);
    // Import quality level (0, 1, 2) and its resolution.
    int qualityLevel() const { return m_qualityLevel; }
    void setQualityLevel(int level) { m_qualityLevel = level; }
    int pageDPI() const;

    QList<FlashPagePtr> &pages() { return m_pages; }
    const QList<FlashPagePtr> &pages() const { return m_pages; }
    QList<FlashPagePtr> &normalPages() { return m_normalPages; }
    const QList<FlashPagePtr> &normalPages() const { return m_normalPages; }
    QList<FlashPagePtr> &thumbPages() { return m_thumbPages; }
    const QList<FlashPagePtr> &thumbPages() const { return m_thumbPages; }
    QList<FlashPagePtr> &phonePages() { return m_phonePages; }
    const QList<FlashPagePtr> &phonePages() const { return m_phonePages; }
    QList<FlashPagePtr> &pageList(PictureKind kind);
    const QList<FlashPagePtr> &pageList(PictureKind kind) const;
    int pageCount() const { return int(m_pages.size()); }

    // The book pages the source gives, in order; reads the source document.
    virtual PageResult pageUnits(QList<PageUnit> *units) const = 0;
    // A reader for one worker thread.
    virtual std::unique_ptr<PageReader> createReader(PageResult *result) const = 0;

    // Replaces the four lists by pictures named after the plan in the workspace.
    void setPagesFromUnits(const QList<PageUnit> &units);

    bool generateBasePages();
    bool generateNormalPages();
    bool generatePhonePages();
    // Outcome of the last page pass.
    const PageResult &lastResult() const { return m_lastResult; }

    static QString elementName() { return QStringLiteral("PageSource"); }
    void writeXml(QXmlStreamWriter &writer) const;
    // The source saved in element, its pictures resolved against workspace; null
    // with a message when the element is not a saved page source.
    static std::unique_ptr<FlashPageSource> fromXml(const QDomElement &element, const QString &workspace,
                                                    QString *error = nullptr);
    QString toXmlString() const;
    static std::unique_ptr<FlashPageSource> fromXmlString(const QString &xml, const QString &workspace,
                                                         QString *error = nullptr);

protected:
    FlashPageSource() = default;
    virtual void writeSourceXml(QXmlStreamWriter &writer) const = 0;
    virtual void readSourceXml(const QDomElement &source, const QString &workspace) = 0;

    // Paths are saved relative to the workspace when they lie inside it.
    QString storedPath(const QString &path) const;
    static QString resolvedPath(const QString &stored, const QString &workspace);

private:
    bool finishPass(const PageResult &result);
    QString freePicturePath(PictureKind kind, int bookPage) const;
    // The path to write a lost or new picture of a page to: its old path when that
    // lies in our folder for the kind, else a free name there.
    QString pathForRemade(PictureKind kind, const FlashPagePtr &page, int bookPage) const;
    void renumber();

    QString m_workspace;
    QSize m_normalPageSize{1080, 1440};
    int m_qualityLevel = 0;
    QList<FlashPagePtr> m_pages, m_normalPages, m_thumbPages, m_phonePages;
    PageResult m_lastResult;
};
