#pragma once
// Small XML helpers over QtXml.

#include <QDomElement>
#include <QString>
#include <QVariantMap>

class QDomDocument;

// Why a text could not be parsed, and where (line and column from 1; 0 when the
// text was refused before parsing).
struct XmlParseError
{
    QString message;
    int line = 0;
    int column = 0;
    // "message (line L, column C)", or the message alone.
    QString text() const;
};

// Parses XML into document, after checking the text against the input limits: no
// larger than InputLimits::kMaxXmlBytes, elements nested no deeper than
// InputLimits::kMaxXmlNesting (a scan that stops at the first element too deep, so a
// hostile text costs nothing). False, with *error, when the text is refused or is no
// well-formed XML.
bool parseXmlDocument(QDomDocument &document, const QString &text, XmlParseError *error = nullptr);
bool parseXmlDocument(QDomDocument &document, const QByteArray &data, XmlParseError *error = nullptr);

// A map from each child element's name to its text, or to a nested map for a child
// that has child elements itself. Of several children with one name the last wins.
// An empty map for a null element.
QVariantMap xml2dict(const QDomElement &element);

// text without the characters XML 1.0 cannot carry (most control characters and the
// non-characters U+FFFE, U+FFFF), so a caption taken from a PDF never makes the
// written file unreadable.
QString xmlSafeText(const QString &text);
