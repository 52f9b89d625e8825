#pragma once
// Colours stored as text: "0x" followed by six hexadecimal digits RRGGBB.

#include <QColor>
#include <QString>
#include <optional>

// Reads the text as one hexadecimal number (white space before it and a leading "0x"
// allowed; a number too large reads as 0xFFFFFFFF) and returns the opaque colour of
// its bits 16-23 (red), 8-15 (green) and 0-7 (blue). Text without a hexadecimal
// number gives black.
QColor colorFromHexRGB(const QString &text);

// "0x" and six upper-case hexadecimal digits; a null string for an invalid colour.
QString colorToHexRGB(const QColor &color);

// The six hexadecimal digits, in upper case, of a colour written "0xRRGGBB", "#RRGGBB"
// or "RRGGBB" (white space around allowed); nothing for any other text.
std::optional<QString> hexRGBDigits(const QString &text);
