#include "foundation/XmlUtility.h"

QVariantMap xml2dict(const QDomElement &element)
{
    QVariantMap result;
    if (element.isNull())
        return result;
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.firstChildElement().isNull())
            result.insert(child.tagName(), child.text());
        else
            result.insert(child.tagName(), xml2dict(child));
    }
    return result;
}

QString xmlSafeText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x20 || u == 0x09 || u == 0x0A || u == 0x0D) && u != 0xFFFE && u != 0xFFFF)
            out.append(c);
    }
    return out;
}
