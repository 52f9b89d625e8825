#include "furnishings/ShareLinksItem.h"

#include "foundation/AppResources.h"
#include "foundation/XmlUtility.h"

#include <QDomDocument>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamWriter>

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

QString ShareLinksItem::generateShareLinksToXml(const QList<ShareLinksItem> &items)
{
    if (items.isEmpty())
        return {};
    QString xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(2);
    writer.writeStartElement(QStringLiteral("shareLinks"));
    for (const ShareLinksItem &item : items) {
        writer.writeEmptyElement(QStringLiteral("shareLink"));
        writer.writeAttribute(QStringLiteral("title"), item.title());
        writer.writeAttribute(QStringLiteral("link"), item.links());
        if (!item.logo().isEmpty())
            writer.writeAttribute(QStringLiteral("logo"), item.logo());
    }
    writer.writeEndElement();
    return xml.trimmed();
}

QString ShareLinksItem::shareLinsLogoInAppPath()
{
    return AppResources::resourcePath(QStringLiteral("dataFiles/Shares/"));
}

QString ShareLinksItem::hostOfLink(const QString &link)
{
    QString host = link;
    const qsizetype scheme = host.indexOf(QLatin1String("://"));
    if (scheme >= 0)
        host = host.mid(scheme + 3);
    const qsizetype slash = host.indexOf(QLatin1Char('/'));
    return slash >= 0 ? host.left(slash) : host;
}

QString ShareLinksItem::iconFileForURL(const QString &link)
{
    static const QRegularExpression separators(QStringLiteral("[.:]"));
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_-]+$"));
    const QString folder = shareLinsLogoInAppPath();
    for (const QString &part : hostOfLink(link.trimmed()).split(separators, Qt::SkipEmptyParts)) {
        // Only a plain word names a logo: nothing in a link leads out of the folder.
        if (!plainName.match(part).hasMatch())
            continue;
        const QString file = folder + part.toLower() + QStringLiteral(".ico");
        if (QFileInfo(file).isFile())
            return file;
    }
    return {};
}
