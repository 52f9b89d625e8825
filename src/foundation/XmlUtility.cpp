#include "foundation/XmlUtility.h"

#include "foundation/InputLimits.h"

#include <QDomDocument>
#include <QXmlStreamReader>

namespace {

bool refuse(XmlParseError *error, const QString &message, qint64 line = 0, qint64 column = 0)
{
    if (error)
        *error = {message, int(line), int(column)};
    return false;
}

// Scans the text for its nesting without building anything; parse errors are left to
// the parser that follows, which reports them in its own words. It reads as the parser
// does, without namespaces: a prefix nobody declared must not end the scan early and
// let what follows through unmeasured.
template<class Text>
bool withinNesting(const Text &text, XmlParseError *error)
{
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (++depth > InputLimits::kMaxXmlNesting)
                return refuse(error, InputLimits::nestedTooDeep(InputLimits::kMaxXmlNesting), reader.lineNumber(),
                              reader.columnNumber());
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return true;
}

template<class Text>
bool parse(QDomDocument &document, const Text &text, qint64 bytes, XmlParseError *error)
{
    if (bytes > InputLimits::kMaxXmlBytes)
        return refuse(error, InputLimits::tooLarge(InputLimits::kMaxXmlBytes));
    if (!withinNesting(text, error))
        return false;
    QString message;
    int line = 0, column = 0;
    if (!document.setContent(text, &message, &line, &column))
        return refuse(error, message, line, column);
    return true;
}

} // namespace

QString XmlParseError::text() const
{
    return line > 0 ? QStringLiteral("%1 (line %2, column %3)").arg(message).arg(line).arg(column) : message;
}

bool parseXmlDocument(QDomDocument &document, const QString &text, XmlParseError *error)
{
    return parse(document, text, text.size(), error);
}

bool parseXmlDocument(QDomDocument &document, const QByteArray &data, XmlParseError *error)
{
    return parse(document, data, data.size(), error);
}

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
