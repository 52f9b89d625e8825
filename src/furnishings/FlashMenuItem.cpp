#include "furnishings/FlashMenuItem.h"

#include "foundation/AppUtility.h"
#include "foundation/XmlUtility.h"

namespace {

struct MenuType
{
    const char *name;
    const char *display;
};

constexpr MenuType FlashMenuTypes[FlashMenuTypeCount] = {
    {"share", "Share"},
    {"copyBookUrl", "Copy book URL"},
    {"copyEmbedHtml", "Copy embed html"},
    {"goToPage", "Go to Page"},
    {"url", "Open URL"},
};

const QString kMenus = QStringLiteral("menus");
const QString kMenu = QStringLiteral("menu");

// The root element of text when it is well-formed XML; null otherwise.
QDomElement rootOf(const QString &text, QDomDocument &document)
{
    if (!parseXmlDocument(document, text))
        return {};
    return document.documentElement();
}

// The menus element of a setting value: the text as it stands, or, when that is no XML,
// the text with its markup unescaped (values written by older versions arrive so).
// Unescaping only on failure keeps "&lt;" inside a well-formed value's text intact.
QDomElement menusElementOf(const QString &xml, QDomDocument &document)
{
    if (xml.trimmed().isEmpty())
        return {};
    QDomElement root = rootOf(xml, document);
    if (root.isNull()) {
        QString unescaped = xml;
        unescaped.replace(QLatin1String("&lt;"), QLatin1String("<")).replace(QLatin1String("&gt;"), QLatin1String(">"));
        root = rootOf(unescaped, document);
    }
    return root.tagName() == kMenus ? root : QDomElement();
}

} // namespace

QString flashMenuDispName(int index)
{
    return index >= 0 && index < FlashMenuTypeCount ? QString::fromLatin1(FlashMenuTypes[index].display) : QString();
}

QString flashMenuTypeName(int index)
{
    return index >= 0 && index < FlashMenuTypeCount ? QString::fromLatin1(FlashMenuTypes[index].name) : QString();
}

int indexOfFlashMenuType(const QString &name)
{
    for (int i = 0; i < FlashMenuTypeCount; ++i)
        if (name == QLatin1String(FlashMenuTypes[i].name))
            return i;
    return -1;
}

QDomElement FlashMenuItem::xmlMenuItem(QDomDocument &document)
{
    QDomElement menu = document.createElement(kMenu);
    menu.appendChild(AppUtility::getCDATA(document, xmlSafeText(m_caption), QStringLiteral("title")));
    if (m_type < 0 || m_type >= FlashMenuTypeCount)
        m_type = Share;
    QDomElement action = document.createElement(QStringLiteral("action"));
    QDomElement kind = document.createElement(flashMenuTypeName(int(m_type)));
    if (typeHasContent(m_type))
        kind.appendChild(document.createTextNode(xmlSafeText(m_content)));
    action.appendChild(kind);
    menu.appendChild(action);
    return menu;
}

void FlashMenuItem::parseXmlMenuItem(const QDomElement &menu)
{
    for (QDomElement child = menu.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.tagName() == QLatin1String("title")) {
            m_caption = child.text();
        } else if (child.tagName() == QLatin1String("action")) {
            const QDomElement kind = child.firstChildElement();
            if (kind.isNull())
                continue;
            // The content belongs to its action: a later action without one takes
            // the earlier one's away, as writing the entry would.
            m_type = std::max(0, indexOfFlashMenuType(kind.tagName()));
            m_content = typeHasContent(m_type) ? kind.text() : QString();
        }
    }
}

QList<FlashMenuItem> FlashMenuItem::parseByXmlString(const QString &xml)
{
    QList<FlashMenuItem> items;
    QDomDocument document;
    const QDomElement root = menusElementOf(xml, document);
    for (QDomElement e = root.firstChildElement(kMenu); !e.isNull(); e = e.nextSiblingElement(kMenu)) {
        FlashMenuItem item;
        item.parseXmlMenuItem(e);
        items << item;
    }
    return items;
}

bool FlashMenuItem::isMenusXml(const QString &xml)
{
    QDomDocument document;
    return !menusElementOf(xml, document).isNull();
}

QDomElement FlashMenuItem::generateFlashMenuXmlBy(QDomDocument &document, QList<FlashMenuItem> &items)
{
    QDomElement menus = document.createElement(kMenus);
    for (FlashMenuItem &item : items)
        menus.appendChild(item.xmlMenuItem(document));
    return menus;
}

QString FlashMenuItem::menuXmlString(QList<FlashMenuItem> items)
{
    if (items.isEmpty())
        return {};
    QDomDocument document;
    document.appendChild(generateFlashMenuXmlBy(document, items));
    return document.toString(2).trimmed();
}
