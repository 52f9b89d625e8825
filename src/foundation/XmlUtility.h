#pragma once
// Small XML helpers over QtXml.

#include <QDomElement>
#include <QString>
#include <QVariantMap>

// A map from each child element's name to its text, or to a nested map for a child
// that has child elements itself. Of several children with one name the last wins.
// An empty map for a null element.
QVariantMap xml2dict(const QDomElement &element);

// text without the characters XML 1.0 cannot carry (most control characters and the
// non-characters U+FFFE, U+FFFF), so a caption taken from a PDF never makes the
// written file unreadable.
QString xmlSafeText(const QString &text);
