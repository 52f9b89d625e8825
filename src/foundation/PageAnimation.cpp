#include "foundation/PageAnimation.h"

#include <QRegularExpression>

TextRange PageAnimation::rangeOfString(const QString &text, QChar open, QChar close, qsizetype index,
                                       bool checkOmitFlag)
{
    TextRange range;
    int depth = 0;
    for (qsizetype i = qMax<qsizetype>(index, 0); i < text.size(); ++i) {
        const QChar c = text[i];
        if (checkOmitFlag && c == QLatin1Char('\\')) {
            ++i; // the escaped character does not count
            continue;
        }
        if (range.location < 0) {
            if (c == open) {
                range.location = i;
                depth = 1;
            }
        } else if (c == close) { // checked first: with open == close it closes
            if (--depth == 0) {
                range.length = i - range.location + 1;
                return range;
            }
        } else if (c == open) {
            ++depth;
        }
    }
    return range;
}

namespace {

void skipSpace(const QString &s, qsizetype &i)
{
    while (i < s.size() && s[i].isSpace())
        ++i;
}

// A quoted text at s[i] (" or '); leaves i after the closing quote.
QString readQuoted(const QString &s, qsizetype &i)
{
    const QChar quote = s[i++];
    QString out;
    while (i < s.size() && s[i] != quote) {
        QChar c = s[i++];
        if (c == QLatin1Char('\\') && i < s.size()) {
            c = s[i++];
            if (c == QLatin1Char('n'))
                c = QLatin1Char('\n');
            else if (c == QLatin1Char('t'))
                c = QLatin1Char('\t');
            else if (c == QLatin1Char('r'))
                c = QLatin1Char('\r');
        }
        out.append(c);
    }
    if (i < s.size())
        ++i;
    return out;
}

} // namespace

QDomElement PageAnimation::xmlElementFromJSString(QDomDocument &document, const QString &literal, const QString &key)
{
    static const QRegularExpression xmlName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]*$"));
    QDomElement element = document.createElement(key);
    QString body = literal.trimmed();
    if (body.startsWith(QLatin1Char('{'))) {
        const TextRange outer = rangeOfString(body, QLatin1Char('{'), QLatin1Char('}'), 0, true);
        body = outer.length > 0 ? body.mid(1, outer.length - 2) : body.mid(1);
    }
    qsizetype i = 0;
    while (i < body.size()) {
        skipSpace(body, i);
        while (i < body.size() && (body[i] == QLatin1Char(',') || body[i].isSpace()))
            ++i;
        if (i >= body.size())
            break;
        QString name;
        if (body[i] == QLatin1Char('"') || body[i] == QLatin1Char('\'')) {
            name = readQuoted(body, i);
        } else {
            const qsizetype start = i;
            while (i < body.size() && body[i] != QLatin1Char(':') && body[i] != QLatin1Char(','))
                ++i;
            name = body.mid(start, i - start).trimmed();
        }
        skipSpace(body, i);
        if (i >= body.size() || body[i] != QLatin1Char(':')) {
            // Not "key: value": skip to the next item.
            while (i < body.size() && body[i] != QLatin1Char(','))
                ++i;
            continue;
        }
        ++i;
        skipSpace(body, i);
        QString value;
        if (i < body.size() && (body[i] == QLatin1Char('"') || body[i] == QLatin1Char('\''))) {
            value = readQuoted(body, i);
        } else if (i < body.size() && (body[i] == QLatin1Char('{') || body[i] == QLatin1Char('['))) {
            const QChar open = body[i];
            const QChar close = open == QLatin1Char('{') ? QLatin1Char('}') : QLatin1Char(']');
            const TextRange r = rangeOfString(body, open, close, i, true);
            const qsizetype length = r.length > 0 ? r.length : body.size() - i;
            value = body.mid(i, length);
            i += length;
        } else {
            const qsizetype start = i;
            while (i < body.size() && body[i] != QLatin1Char(','))
                ++i;
            value = body.mid(start, i - start).trimmed();
        }
        if (!xmlName.match(name).hasMatch())
            continue;
        QDomElement child = document.createElement(name);
        child.appendChild(document.createTextNode(value));
        element.appendChild(child);
    }
    return element;
}
