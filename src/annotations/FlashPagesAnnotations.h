#pragma once
// The annotations of every page of a book: one entry per page, in page order. The
// annotations of a page (links, multimedia objects) are kept as the XML of their
// elements, exactly as written; this record only keeps them with their page when
// pages are inserted or removed, and stores them in the project.
//
// Project file form:
//   <pagesAnnotations version="1">
//     <page>...annotation elements of page 1...</page>
//     <page/>                                    (a page without annotations)
//   </pagesAnnotations>

#include <QString>
#include <QStringList>

class FlashPagesAnnotations
{
public:
    explicit FlashPagesAnnotations(int pageCount = 0);

    int count() const { return int(m_pages.size()); }
    // Adds blank pages at the end, or drops pages from the end.
    void setPageCount(int count);

    // A page without annotations at index (0 = before the first page, count() = after
    // the last). False when index is out of range.
    bool insertBlankPage(int index);
    bool removePage(int index);

    // The XML of a page's annotation elements; empty for a blank page or a bad index.
    QString pageAnnotations(int index) const;
    // False, changing nothing, for a bad index or text that is not well-formed XML content.
    bool setPageAnnotations(int index, const QString &xml);

    QString toXml() const;
    // Replaces every page with those of the text. On failure nothing changes and
    // *error says why.
    bool loadFromXml(const QString &xml, QString *error = nullptr);

    bool saveToFile(const QString &path) const; // UTF-8, written atomically
    bool loadFromFile(const QString &path, QString *error = nullptr);

private:
    QStringList m_pages;
};
