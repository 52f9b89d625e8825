#include "pages/PageImaging.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <cmath>

namespace PageImaging {

int importDPIForLevel(int level)
{
    switch (level) {
    case 1: return 144;
    case 2: return 120;
    default: return 216;
    }
}

double renderDpi(const QSizeF &pageSizePoints, double dpi)
{
    const double w = pageSizePoints.width() * dpi / 72.0;
    const double h = pageSizePoints.height() * dpi / 72.0;
    if (w <= 0 || h <= 0 || w * h <= double(kMaxRenderPixels))
        return dpi;
    // Scale both sides by the same factor; a little below the limit so that the
    // rounding of the sides cannot push the pixel count over it.
    return dpi * std::sqrt(double(kMaxRenderPixels) / (w * h)) * 0.999;
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

QSize thumbSize(const QSize &size)
{
    return fittedSize(size, QSize(kThumbMaxWidth, kThumbHeight));
}

QImage fitWithin(const QImage &image, const QSize &box)
{
    const QSize target = fittedSize(image.size(), box);
    if (target == image.size())
        return image;
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage opaque(const QImage &image)
{
    if (image.isNull())
        return image;
    if (image.format() == QImage::Format_RGB32)
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(image.devicePixelRatio());
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    painter.end();
    return out;
}

QImage partOf(const QImage &image, FlashPage::Part part)
{
    if (part == FlashPage::Part::Whole)
        return image;
    const int half = image.width() / 2;
    if (part == FlashPage::Part::Left)
        return image.copy(0, 0, std::max(1, half), image.height());
    return image.copy(half, 0, std::max(1, image.width() - half), image.height());
}

QByteArray encodeJpeg(const QImage &image, int quality)
{
    // The JPEG writer takes 24-bit rows as they are but converts 32-bit pixels one
    // row at a time in plain code; converting the whole picture first is faster.
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
        || image.format() == QImage::Format_ARGB32_Premultiplied)
        return encodeJpeg(image.convertToFormat(QImage::Format_RGB888), quality);
    QByteArray bytes;
    bytes.reserve(qsizetype(image.width()) * image.height() / 4); // typical size; avoids regrowing
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image))
        return {};
    return bytes;
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

PageResult writePagePictures(const QImage &page, const PagePicturePaths &paths, const QSize &normalBox)
{
    if (!paths.large.isEmpty()) {
        const PageResult r = writeFile(paths.large, encodeJpeg(page));
        if (!r.ok())
            return r;
    }
    QImage normal;
    QByteArray normalBytes;
    if (!paths.normal.isEmpty() || !paths.thumb.isEmpty()) {
        normal = fitWithin(page, normalBox);
        if (!paths.normal.isEmpty()) {
            normalBytes = encodeJpeg(normal);
            const PageResult r = writeFile(paths.normal, normalBytes);
            if (!r.ok())
                return r;
        }
    }
    if (!paths.thumb.isEmpty()) {
        // The normal picture is smaller than the large one and already smoothed:
        // scaling it is cheaper and looks the same at thumbnail size.
        const QImage &from = normal.isNull() ? page : normal;
        const QImage thumb = from.scaled(thumbSize(from.size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const PageResult r = writeFile(paths.thumb, encodeJpeg(thumb, kThumbJpegQuality));
        if (!r.ok())
            return r;
    }
    if (!paths.phone.isEmpty()) {
        const QSize phoneSize = fittedSize(page.size(), kPhonePageBox);
        QByteArray bytes;
        if (!normal.isNull() && normal.size() == phoneSize)
            bytes = normalBytes.isEmpty() ? encodeJpeg(normal) : normalBytes; // same picture: encode once
        else
            bytes = encodeJpeg(fitWithin(page, kPhonePageBox));
        const PageResult r = writeFile(paths.phone, bytes);
        if (!r.ok())
            return r;
    }
    return PageResult::success();
}

} // namespace PageImaging
