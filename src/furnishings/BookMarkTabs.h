#pragma once
// Bookmark tabs: coloured index tabs the viewer draws on the edge of the book; a click
// on one turns to its page.
//
// External forms:
//   the Tabs element (book configuration, project, tab files the user saves):
//     <Tabs alpha="0.70" BookMarkTips="true" BookMarkShowhading="false" TopOrSide="Side">
//       <Tab pageIndex="3" color="0xFF8800"><![CDATA[Intro]]></Tab>
//     </Tabs>
//   the viewer script appended to the book's configuration script:
//     var bmtConfig = {tabs:[{"caption":"Intro","pageIndex":3,"color": "#FF8800"}],onSideEdge:true,showPage:true,hasTexture:false};

#include <QColor>
#include <QDomElement>
#include <QList>
#include <QString>

class QDomDocument;
class QXmlStreamWriter;

class BookMarkTabItem
{
public:
    BookMarkTabItem() = default;

    // A tab whose colour is the colour's "0xRRGGBB" text.
    static BookMarkTabItem tabItemWithCaption(const QString &caption, const QColor &color, qint64 page);

    qint64 pageIndex() const { return m_pageIndex; } // counted from 1
    void setPageIndex(qint64 page) { m_pageIndex = page; }
    QString color() const { return m_color; } // "0xRRGGBB", stored as given
    void setColor(const QString &color) { m_color = color; }
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }

    // Writes the Tab element of a tab.
    static void addItem(QXmlStreamWriter &writer, const BookMarkTabItem &item);
    // Appends a tab for every Tab child element of element, in document order.
    static void parseTabsXML(const QDomElement &element, QList<BookMarkTabItem> &items);
    // The tab objects of the viewer script joined by ","; a tab on page 0 without a
    // caption is left out.
    static QString tabItemsToJSON(const QList<BookMarkTabItem> &items);

    bool operator==(const BookMarkTabItem &other) const = default;

private:
    qint64 m_pageIndex = 1;
    QString m_color = QStringLiteral("0x7F7F7F");
    QString m_caption;
};

class BookMarkTabs
{
public:
    double alpha() const { return m_alpha; } // opacity 0.0 to 1.0
    void setAlpha(double alpha) { m_alpha = alpha; }
    QString topOrSide() const { return m_topOrSide; } // "Top" or "Side"
    void setTopOrSide(const QString &edge) { m_topOrSide = edge; }
    QList<BookMarkTabItem> &TabItems() { return m_items; }
    const QList<BookMarkTabItem> &TabItems() const { return m_items; }
    bool bookmarkTips() const { return m_tips; } // page numbers on the tabs
    void setBookmarkTips(bool on) { m_tips = on; }
    bool bookmarkShowHading() const { return m_showHading; } // tabs drawn with a texture
    void setBookmarkShowHading(bool on) { m_showHading = on; }

    bool hasTabs() const { return !m_items.isEmpty(); }

    void writeXml(QXmlStreamWriter &writer) const;
    QString tabsXMLString() const;
    // A new Tabs element of the settings and tabs, owned by document.
    QDomElement tabsXMLElement(QDomDocument &document) const;
    // Replaces the tabs by those of element and takes the settings it carries; a
    // setting whose attribute is missing keeps its value.
    void loadFromTabsXML(const QDomElement &element);

    // Writes the Tabs XML as UTF-8, atomically; false when it cannot be written.
    bool saveToFile(const QString &path) const;
    // Reads a file written by saveToFile. A file that is missing, too large, not XML or
    // not a Tabs element changes nothing; *error then says why.
    bool loadFromFile(const QString &path, QString *error = nullptr);
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

    // The viewer script "var bmtConfig = {...};".
    QString bookmarkTabsJS() const;

    bool operator==(const BookMarkTabs &other) const = default;

private:
    double m_alpha = 0.0;
    QString m_topOrSide;
    QList<BookMarkTabItem> m_items;
    bool m_tips = false;
    bool m_showHading = false;
};
