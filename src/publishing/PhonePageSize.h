#pragma once
// The size of the phone page pictures a publish run makes when the book has none:
// the template's page ratio ("pageWidth" / "pageHeight", 1080 by 1440 by default)
// fitted into a square of ten times the page DPI of the import quality level, the
// longer side filling it.
//
// A width or height that is not a positive finite number (0, text, "inf") would give
// an endless or undefined size; the default ratio stands in for it.

#include <QSizeF>
#include <QString>

namespace PhonePageSize {

inline constexpr double kDefaultWidth = 1080;
inline constexpr double kDefaultHeight = 1440;

// pageWidth / pageHeight as read from the template, or 1080 / 1440 when either is
// not a positive finite number.
double pageRatio(const QString &pageWidth, const QString &pageHeight);
// The picture size (not rounded) for the ratio and the page DPI.
QSizeF sizeForRatio(double ratio, int pageDpi);

} // namespace PhonePageSize
