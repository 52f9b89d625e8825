#include "publishing/PageSnapshot.h"

#include "foundation/ImageUtility.h"
#include "pages/PageImaging.h"
#include "pages/PdfDocument.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QStringList>
#include <poppler-qt6.h>

#include <algorithm>
#include <cmath>

namespace PageSnapshot {

namespace {

const QStringList &pictureExtensions()
{
    static const QStringList list{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                  QStringLiteral("gif"), QStringLiteral("bmp"), QStringLiteral("tif"),
                                  QStringLiteral("tiff"), QStringLiteral("webp")};
    return list;
}

QString extensionOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

void report(Status *status, Status value)
{
    if (status)
        *status = value;
}

// A picture read at no more than the size it is drawn at (JPEG decodes faster so),
// turned as its EXIF orientation says.
QImage readPicture(const QString &path, const QSize &size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize) &&
        !(reader.transformation() & QImageIOHandler::TransformationRotate90)) {
        const QRect fitted = fittedRect(QSizeF(full), size);
        if (fitted.width() < full.width() && fitted.height() < full.height())
            reader.setScaledSize(fitted.size());
    }
    return reader.read();
}

QImage readPdfPage(const QString &path, const QSize &size)
{
    PageResult result;
    const std::unique_ptr<Poppler::Document> document = PdfDocument::open(path, QString(), &result);
    if (!document)
        return {};
    const std::unique_ptr<Poppler::Page> page(document->page(0));
    if (!page)
        return {};
    const QSizeF points = page->pageSizeF();
    if (points.width() <= 0 || points.height() <= 0)
        return {};
    // Rendered at the resolution that makes the page fill the fitted rectangle.
    const QRect fitted = fittedRect(points, size);
    const double dpi = PageImaging::renderDpi(points, 72.0 * fitted.width() / points.width());
    return page->renderToImage(dpi, dpi);
}

} // namespace

bool isPicture(const QString &pageFile)
{
    return pictureExtensions().contains(extensionOf(pageFile));
}

bool isMovie(const QString &pageFile)
{
    return extensionOf(pageFile) == QLatin1String("swf");
}

bool canRender(const QString &pageFile)
{
    return isPicture(pageFile) || extensionOf(pageFile) == QLatin1String("pdf");
}

QRect fittedRect(const QSizeF &imageSize, const QSize &size)
{
    if (imageSize.width() <= 0 || imageSize.height() <= 0 || size.isEmpty())
        return QRect(QPoint(0, 0), size);
    const double scale = std::min(size.width() / imageSize.width(), size.height() / imageSize.height());
    const int w = std::clamp(int(std::lround(imageSize.width() * scale)), 1, size.width());
    const int h = std::clamp(int(std::lround(imageSize.height() * scale)), 1, size.height());
    return QRect((size.width() - w) / 2, (size.height() - h) / 2, w, h);
}

QImage render(const QString &pageFile, const QSize &size, Status *status)
{
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxSide || size.height() > kMaxSide) {
        report(status, Status::BadSize);
        return {};
    }
    if (!canRender(pageFile)) {
        report(status, Status::UnsupportedKind);
        return {};
    }
    if (!QFileInfo(pageFile).isFile()) {
        report(status, Status::Unreadable);
        return {};
    }
    const QImage page = isPicture(pageFile) ? readPicture(pageFile, size) : readPdfPage(pageFile, size);
    if (page.isNull() || page.width() < 1 || page.height() < 1) {
        report(status, Status::Unreadable);
        return {};
    }

    report(status, Status::Written);
    return placed(page, size);
}

QImage placed(const QImage &picture, const QSize &size)
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    if (picture.isNull())
        return out;
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target = fittedRect(QSizeF(picture.size()), size);
    if (target.size() == picture.size())
        painter.drawImage(target.topLeft(), picture);
    else
        painter.drawImage(target, picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.end();
    return out;
}

Status writeJpeg(const QImage &image, const QString &outputFile)
{
    return ImageUtility::writeToURL(outputFile, QStringLiteral("jpeg"), image, kJpegQuality / 100.0) ? Status::Written
                                                                                                     : Status::WriteFailed;
}

Status renderToFile(const QString &pageFile, const QString &outputFile, const QSize &size)
{
    Status status = Status::Written;
    const QImage image = render(pageFile, size, &status);
    if (image.isNull())
        return status;
    return writeJpeg(image, outputFile);
}

} // namespace PageSnapshot
