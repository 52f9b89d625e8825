#pragma once
// Reading the object literals of viewer scripts ({key: value, ...}).

#include <QDomDocument>
#include <QDomElement>
#include <QString>

struct TextRange
{
    qsizetype location = -1; // -1 when nothing was found
    qsizetype length = 0;    // 0 when no complete pair was found
};

class PageAnimation
{
public:
    // The range from the first open character at or after index to its matching
    // close character, nested pairs counted. With checkOmitFlag a character after a
    // backslash is not counted. A zero length when there is no complete pair.
    static TextRange rangeOfString(const QString &text, QChar open, QChar close, qsizetype index,
                                  bool checkOmitFlag);

    // An element called key whose child elements are the literal's keys, in order,
    // each holding its value's text: quoted values unquoted, nested objects and
    // arrays as written, other values trimmed. Keys that cannot be XML names are
    // left out.
    static QDomElement xmlElementFromJSString(QDomDocument &document, const QString &literal, const QString &key);
};
