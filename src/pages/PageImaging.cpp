#include "pages/PageImaging.h"

#include "foundation/AppStrings.h"
#include <QFile>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace PageImaging {

double renderDpi(const QSizeF &pageSizePoints, double dpi)
{
    const double w = pageSizePoints.width() * dpi / 72.0;
    const double h = pageSizePoints.height() * dpi / 72.0;
    if (w <= 0 || h <= 0)
        return dpi;
    // Scale both sides by the same factor; a little below the limits so that the
    // rounding of the sides cannot push the picture over them.
    double scale = 1;
    if (w * h > double(kMaxRenderPixels))
        scale = std::sqrt(double(kMaxRenderPixels) / (w * h)) * 0.999;
    const double longSide = std::max(w, h) * scale;
    if (longSide > kMaxPictureSide - 1)
        scale *= (kMaxPictureSide - 1) / longSide;
    return dpi * scale;
}

QSize fittedSize(const QSize &size, const QSize &box)
{
    if (size.isEmpty() || box.isEmpty())
        return size;
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    QSize s = size.scaled(box, Qt::KeepAspectRatio);
    return s.expandedTo(QSize(1, 1));
}

QSize pageBoxSize(const QSize &size, const QSize &box)
{
    if (size.width() <= box.width() * kPageBoxSlack && size.height() <= box.height() * kPageBoxSlack)
        return size;
    return fittedSize(size, box);
}

QSize thumbSize(const QSize &size)
{
    return fittedSize(size, QSize(kThumbMaxWidth, kThumbHeight));
}

QSize smallSize(const QSize &size)
{
    return fittedSize(size, QSize(std::max(1, (size.width() + 1) / 2), std::max(1, (size.height() + 1) / 2)));
}

QImage opaque(const QImage &image)
{
    if (image.isNull() || image.format() == QImage::Format_RGB888)
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    painter.end();
    return out.convertToFormat(QImage::Format_RGB888);
}

QRect partRect(const QSize &size, FlashPage::Part part)
{
    const int half = size.width() / 2;
    switch (part) {
    case FlashPage::Part::Left: return QRect(0, 0, std::max(1, half), size.height());
    case FlashPage::Part::Right: return QRect(half, 0, std::max(1, size.width() - half), size.height());
    case FlashPage::Part::Whole: break;
    }
    return QRect(QPoint(0, 0), size);
}

PageResult writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes) != bytes.size() || !file.flush()) {
        file.close();
        QFile::remove(path);
        return PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(path));
    }
    file.close();
    return PageResult::success();
}

} // namespace PageImaging
