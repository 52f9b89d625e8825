#pragma once
// The search data of a book: the text of every book page, in page order. A book has
// two, one for the desktop book and one for the mobile book; the output engine
// writes them as the viewer's search script (pageTexts()).
//
// Saved form (embedded in the project file):
//   <PDFSearch>
//     <Page><![CDATA[text of page 1]]></Page>
//     <Page/>                      (a page without text)
//   </PDFSearch>
// Characters XML cannot carry (most control characters) are dropped when saving.

#include <QString>
#include <QStringList>

class QDomElement;
class QXmlStreamWriter;

class PDFSearch
{
public:
    PDFSearch() = default;
    explicit PDFSearch(const QStringList &pageTexts) : m_texts(pageTexts) {}

    int pageCount() const { return int(m_texts.size()); }
    bool isEmpty() const { return m_texts.isEmpty(); }
    // Text of book page `page` counted from 1; empty outside the book.
    QString pageText(int page) const { return m_texts.value(page - 1); }
    void setPageText(int page, const QString &text);
    // The texts in page order, for the viewer's search script.
    QStringList pageTexts() const { return m_texts; }
    void setPageTexts(const QStringList &texts) { m_texts = texts; }

    // Inserts an empty entry before index (counted from 0; at the end when past it),
    // for a page added to the book.
    void insertBlankPage(int index);
    void removePage(int index);

    static QString elementName() { return QStringLiteral("PDFSearch"); }
    void writeXml(QXmlStreamWriter &writer, const QString &element = elementName()) const;
    bool readXml(const QDomElement &element, QString *error = nullptr);
    QString toXmlString() const;
    bool fromXmlString(const QString &xml, QString *error = nullptr);

    friend bool operator==(const PDFSearch &, const PDFSearch &) = default;

private:
    QStringList m_texts;
};
