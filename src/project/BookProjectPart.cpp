#include "project/BookProjectPart.h"

#include "foundation/PropertyList.h"
#include "foundation/XmlUtility.h"

#include <QRegularExpression>
#include <QTextStream>

BookProjectPart::~BookProjectPart() = default;

QDomElement BookProjectPart::propertyListElement(QDomDocument &document, const QString &name, const QVariant &value,
                                                 QString *error)
{
    const std::optional<QByteArray> xml = PropertyList::toXml(value, error);
    if (!xml)
        return {};
    // The property list's own document is parsed and its root moved into ours; the
    // document type declaration is dropped with its document. A text of blanks only
    // goes in as a CDATA section: parsers of XML (ours included) drop plain text of
    // blanks only, and the unknown password of a user is a tab.
    static const QRegularExpression blanksOnly(QStringLiteral("<(string|key)>([ \\t\\r\\n]+)</\\1>"));
    const QString text = QString::fromUtf8(*xml).replace(blanksOnly, QStringLiteral("<\\1><![CDATA[\\2]]></\\1>"));
    QDomDocument plist;
    if (!parseXmlDocument(plist, text)) {
        if (error)
            *error = QStringLiteral("The property list could not be embedded.");
        return {};
    }
    QDomElement element = document.createElement(name);
    element.appendChild(document.importNode(plist.documentElement(), true));
    return element;
}

std::optional<QVariant> BookProjectPart::propertyListFromElement(const QDomElement &element, QString *error)
{
    const QDomElement plist = element.firstChildElement(QStringLiteral("plist"));
    if (plist.isNull()) {
        if (error)
            *error = QStringLiteral("<%1> holds no property list.").arg(element.tagName());
        return std::nullopt;
    }
    QByteArray xml;
    QTextStream stream(&xml);
    stream << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    plist.save(stream, 0);
    stream.flush();
    return PropertyList::fromData(xml, error);
}
