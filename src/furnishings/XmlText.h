#pragma once
// Text put into XML written by the furnishing models and the output engine.

#include <QString>

// text without the characters XML 1.0 cannot carry (most control characters and the
// non-characters U+FFFE, U+FFFF), so a caption taken from a PDF never makes the
// written file unreadable.
inline QString xmlSafeText(const QString &text)
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
