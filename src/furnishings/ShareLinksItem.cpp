#include "furnishings/ShareLinksItem.h"

#include "foundation/XmlUtility.h"

#include <QDomDocument>

QList<ShareLinksItem> ShareLinksItem::parseByXmlString(const QString &xml)
{
    QList<ShareLinksItem> items;
    QDomDocument document;
    if (xml.trimmed().isEmpty() || !parseXmlDocument(document, xml))
        return items;
    const QDomElement root = document.documentElement();
    for (QDomElement e = root.firstChildElement(QStringLiteral("shareLink")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("shareLink"))) {
        ShareLinksItem item;
        item.setTitle(e.attribute(QStringLiteral("title")));
        item.setLinks(e.attribute(QStringLiteral("link")));
        item.setLogo(e.attribute(QStringLiteral("logo")));
        items << item;
    }
    return items;
}
