#pragma once
// Text put into script string literals of the viewer.

#include <QChar>
#include <QString>

// text escaped for a script string literal delimited by quote (usually '"'):
// line breaks (CR LF, CR, LF, and the written forms \r\n, \r, \n) become "<br/>";
// backslashes are doubled; the quote character gets a backslash; "${Unicode}"
// becomes "\u"; the entities "&lt;", "&gt;" and "&amp;" are decoded; braces and
// square brackets get a backslash; and "</" is written "<\/" so the text cannot
// close the script element of a page it is embedded in.
QString escapeStringForJS(const QString &text, QChar quote = QLatin1Char('"'));
