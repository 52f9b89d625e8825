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

// What a typed colour field keeps of text: hexadecimal digits, and an "x" or "X" only
// as its second character; at most six digits, or eight characters with that "0x".
QString filterHexColorInput(const QString &text);

// The colour text of a field holding such input: it stands for the leading digits of
// RRGGBB, the rest taken as 0 ("0xff" is red, "1234" is 0x123400).
QString hexColorInputText(const QString &filtered);
