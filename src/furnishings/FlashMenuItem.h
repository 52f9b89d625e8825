#pragma once
// One entry of the viewer's own menu, and the menus XML in which a book's entries are
// kept (the value of the template setting "flashMenu"):
//   <menus>
//     <menu><title><![CDATA[Our shop]]></title><action><url>https://example.com</url></action></menu>
//     <menu><title><![CDATA[Contents]]></title><action><goToPage>3</goToPage></action></menu>
//   </menus>
// The action's one child names the entry's type; only "goToPage" and "url" carry text.

#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>

// The action types, by index: 0 "share", 1 "copyBookUrl", 2 "copyEmbedHtml",
// 3 "goToPage", 4 "url".
inline constexpr int FlashMenuTypeCount = 5;
// Display name of a type ("Share", ..., "Open URL"); empty outside 0 to 4.
QString flashMenuDispName(int index);
// Type name as written in the XML; empty outside 0 to 4.
QString flashMenuTypeName(int index);
// Index of a type name (compared exactly), -1 for anything else.
int indexOfFlashMenuType(const QString &name);

class FlashMenuItem
{
public:
    enum Type { Share = 0, CopyBookUrl = 1, CopyEmbedHtml = 2, GoToPage = 3, Url = 4 };

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    qint64 type() const { return m_type; }
    void setType(qint64 type) { m_type = type; }
    QString content() const { return m_content; } // the page or address of types 3 and 4
    void setContent(const QString &content) { m_content = content; }
    // Whether the type uses content (goToPage, url).
    static bool typeHasContent(qint64 type) { return type == GoToPage || type == Url; }

    // The menu element of the entry. A type outside 0 to 4 becomes 0 first (the entry
    // itself changes).
    QDomElement xmlMenuItem(QDomDocument &document);
    // Fills the entry from a menu element: title sets the caption, the first element
    // inside action the type (0 for an unknown name) and the content (its text for
    // types 3 and 4, none for the others); a later action replaces an earlier one.
    void parseXmlMenuItem(const QDomElement &menu);

    // The entries of a menus text; empty when it is not one. Text whose markup arrives
    // escaped ("&lt;menus&gt;...") is read as well.
    static QList<FlashMenuItem> parseByXmlString(const QString &xml);
    // Whether text is a menus XML (escaped or not): the root is menus.
    static bool isMenusXml(const QString &xml);
    // The menus element of the entries, in order (empty for an empty list).
    static QDomElement generateFlashMenuXmlBy(QDomDocument &document, QList<FlashMenuItem> &items);
    // The same as the text of a setting value; "" for an empty list.
    static QString menuXmlString(QList<FlashMenuItem> items);

    bool operator==(const FlashMenuItem &other) const = default;

private:
    QString m_caption;
    qint64 m_type = Share;
    QString m_content;
};
