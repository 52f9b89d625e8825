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
