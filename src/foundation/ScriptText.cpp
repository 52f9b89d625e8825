#include "foundation/ScriptText.h"

#include <QRegularExpression>

QString escapeStringForJS(const QString &text, QChar quote)
{
    static const QString br = QStringLiteral("<br/>");
    QString s = text;
    s.replace(QLatin1String("\r\n"), br);
    s.replace(QLatin1Char('\r'), br);
    s.replace(QLatin1Char('\n'), br);
    s.replace(QLatin1String("\\r\\n"), br);
    s.replace(QLatin1String("\\r"), br);
    s.replace(QLatin1String("\\n"), br);
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(quote, QStringLiteral("\\") + quote);
    // "${Unicode}" marks a \uXXXX escape. Without four hexadecimal digits after it,
    // a bare \u would end the script with a syntax error, so it stays literal text.
    static const QRegularExpression unicodeEscape(QStringLiteral("\\$\\{Unicode\\}(?=[0-9A-Fa-f]{4})"));
    s.replace(unicodeEscape, QStringLiteral("\\u"));
    s.replace(QLatin1String("${Unicode}"), QLatin1String("\\\\u"));
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    for (const char c : {'{', '}', '[', ']'})
        s.replace(QLatin1Char(c), QStringLiteral("\\") + QLatin1Char(c));
    s.replace(QLatin1String("</"), QLatin1String("<\\/"));
    return s;
}
