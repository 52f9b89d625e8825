#include "publishing/PhonePageImages.h"

#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"
#include "foundation/ImageUtility.h"
#include "publishing/PageSnapshot.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr double kResizeCompression = 1.0;
constexpr double kReplaceCompression = 0.97;

QImage readImage(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.width() < 1 || image.height() < 1)
        return {};
    return image;
}

bool canWriteFormat(const QString &extension)
{
    return !extension.isEmpty() && QImageWriter::supportedImageFormats().contains(extension.toLatin1());
}

// name when its extension is a format pictures can be written in; else the same
// name ending in ".jpg" (a GIF, for one, can be read but not written).
QString writableName(const QString &name)
{
    const QFileInfo info(name);
    if (canWriteFormat(info.suffix().toLower()))
        return name;
    return info.completeBaseName() + QStringLiteral(".jpg");
}

bool writeImage(const QString &path, const QImage &image, double compression)
{
    return ImageUtility::writeToURL(path, QFileInfo(path).suffix().toLower(), image, compression);
}

} // namespace

PhonePageImages::PhonePageImages() : m_workspace(createUniqueTempFolder()) {}

PhonePageImages::~PhonePageImages()
{
    if (!m_workspace.isEmpty())
        removeTree(m_workspace);
}

bool PhonePageImages::setPageWidth(double width)
{
    if (!(width >= 1) || !std::isfinite(width))
        return false;
    m_pageWidth = width;
    return true;
}

bool PhonePageImages::setPageHeight(double height)
{
    if (!(height >= 1) || !std::isfinite(height))
        return false;
    m_pageHeight = height;
    return true;
}

void PhonePageImages::setImages(const QStringList &paths)
{
    m_images = paths;
    m_icons.clear();
    for (int row = 0; row < m_images.size(); ++row) {
        QImage picture = readImage(m_images.at(row));
        if (picture.isNull())
            picture = placeholderImage();
        writeThumbnail(row, picture);
        m_icons << thumbnailPath(row);
    }
}

QString PhonePageImages::thumbnailPath(int row) const
{
    return QDir(m_workspace).filePath(QStringLiteral("%1.png").arg(row + 1));
}

bool PhonePageImages::writeThumbnail(int row, const QImage &picture)
{
    if (m_workspace.isEmpty())
        return false;
    const QImage thumb = ImageUtility::resizeImage(picture, thumbnailSize(picture.size()));
    return ImageUtility::writeToURL(thumbnailPath(row), QStringLiteral("png"), thumb, 1.0);
}

bool PhonePageImages::updateThumbnail(int row)
{
    if (!validRow(row) || row >= m_icons.size())
        return false;
    QImage picture = readImage(m_images.at(row));
    if (picture.isNull())
        picture = placeholderImage();
    return writeThumbnail(row, picture);
}

QSize PhonePageImages::thumbnailSize(const QSize &pictureSize)
{
    if (pictureSize.width() < 1 || pictureSize.height() < 1)
        return QSize(kThumbnailSide, kThumbnailSide);
    const double r = double(pictureSize.width()) / pictureSize.height();
    if (r >= 1)
        return QSize(kThumbnailSide, std::max(1, int(kThumbnailSide / r)));
    return QSize(std::max(1, int(kThumbnailSide * r)), kThumbnailSide);
}

QImage PhonePageImages::placeholderImage()
{
    const QImage stored = readImage(AppResources::resourcePath(QStringLiteral("scenes/none.png")));
    if (!stored.isNull())
        return stored;
    // Drawn when the resource is missing: a grey page crossed out.
    QImage image(kThumbnailSide, kThumbnailSide, QImage::Format_RGB32);
    image.fill(QColor(230, 230, 230));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(150, 150, 150), 3));
    painter.drawRect(image.rect().adjusted(1, 1, -2, -2));
    painter.drawLine(20, 20, kThumbnailSide - 20, kThumbnailSide - 20);
    painter.drawLine(kThumbnailSide - 20, 20, 20, kThumbnailSide - 20);
    return image;
}

PhonePageImages::Retry PhonePageImages::retryKind(int row) const
{
    if (row < 0 || row >= m_swfs.size() || row >= m_images.size())
        return Retry::None;
    const QString source = m_swfs.at(row);
    if (PageSnapshot::isPicture(source))
        return Retry::Resize;
    // A picture made from the page itself is never written over its own source.
    if (QDir::cleanPath(source) == QDir::cleanPath(m_images.at(row)))
        return Retry::None;
    return Retry::Snapshot;
}

QSize PhonePageImages::sizeToResize(int row) const
{
    if (!validRow(row))
        return {};
    QImageReader reader(m_images.at(row));
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    if (size.width() < 1 || size.height() < 1)
        return {};
    if (size == pageSize())
        return {};
    return size;
}

bool PhonePageImages::resizeToPageSize(int row)
{
    if (!validRow(row))
        return false;
    const QImage picture = readImage(m_images.at(row));
    if (picture.isNull())
        return false;
    const QString folder = createUniqueTempFolder();
    if (folder.isEmpty())
        return false;
    const QString path = QDir(folder).filePath(writableName(QFileInfo(m_images.at(row)).fileName()));
    const QImage scaled = ImageUtility::resizeImage(picture, pageSize());
    if (!writeImage(path, scaled, kResizeCompression)) {
        removeTree(folder);
        return false;
    }
    m_images[row] = path;
    writeThumbnail(row, scaled);
    return true;
}

QSize PhonePageImages::replacementSize(const QSize &pictureSize) const
{
    if (pictureSize.width() < 1 || pictureSize.height() < 1)
        return {};
    const double r = double(pictureSize.width()) / pictureSize.height();
    double w = 0, h = 0;
    if (r >= 1) {
        w = r * m_pageHeight;
        h = m_pageHeight;
    } else {
        w = m_pageWidth;
        h = m_pageWidth / r;
    }
    const double longest = std::max(w, h);
    if (longest > kMaxReplacementSide) {
        w *= kMaxReplacementSide / longest;
        h *= kMaxReplacementSide / longest;
    }
    return QSize(std::clamp(int(std::lround(w)), 1, kMaxReplacementSide),
                 std::clamp(int(std::lround(h)), 1, kMaxReplacementSide));
}

bool PhonePageImages::replaceImage(int row, const QString &file)
{
    if (!validRow(row))
        return false;
    const QImage picture = readImage(file);
    if (picture.isNull())
        return false;
    const QSize size = replacementSize(picture.size());
    if (!size.isValid())
        return false;

    // Seconds since 1970 with six decimals, and the extension of the replaced picture.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const double seconds = std::chrono::duration_cast<std::chrono::microseconds>(now).count() / 1e6;
    const QString extension = QFileInfo(m_images.at(row)).suffix();
    const QString name = writableName(QString::number(seconds, 'f', 6) + QLatin1Char('.') + extension);

    const QString folder = createUniqueTempFolder();
    if (folder.isEmpty())
        return false;
    const QString path = QDir(folder).filePath(name);
    const QImage scaled = ImageUtility::resizeImage(picture, size);
    if (!writeImage(path, scaled, kReplaceCompression)) {
        removeTree(folder);
        return false;
    }
    m_images[row] = path;
    writeThumbnail(row, scaled);
    return true;
}
