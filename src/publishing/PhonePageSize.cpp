#include "publishing/PhonePageSize.h"

#include <algorithm>
#include <cmath>

namespace PhonePageSize {

namespace {

// The number a template value holds, or 0 when it holds none.
double positiveNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) && value > 0 ? value : 0;
}

} // namespace

double pageRatio(const QString &pageWidth, const QString &pageHeight)
{
    const double width = positiveNumber(pageWidth);
    const double height = positiveNumber(pageHeight);
    const double ratio = width > 0 && height > 0 ? width / height : 0;
    return std::isfinite(ratio) && ratio > 0 ? ratio : kDefaultWidth / kDefaultHeight;
}

QSizeF sizeForRatio(double ratio, int pageDpi)
{
    if (!(std::isfinite(ratio) && ratio > 0))
        ratio = kDefaultWidth / kDefaultHeight;
    const double side = 10.0 * pageDpi;
    // At least one pixel each way, however extreme the ratio.
    return ratio < 1 ? QSizeF(std::max(1.0, ratio * side), side) : QSizeF(side, std::max(1.0, side / ratio));
}

} // namespace PhonePageSize
