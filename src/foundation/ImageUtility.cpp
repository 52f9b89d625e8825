#include "foundation/ImageUtility.h"

#include "foundation/SettingsStore.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

int ImageUtility::getImageDPIByLevel(int level)
{
    static constexpr int defaults[] = {216, 144, 120};
    if (level < 0 || level > 2)
        level = 0;
    bool ok = false;
    const int stored = SettingsStore::value(QStringLiteral("ImageDPILevel%1").arg(level)).toInt(&ok);
    return ok && stored > 0 ? stored : defaults[level];
}

QImage ImageUtility::resizeImage(const QImage &image, const QSize &size)
{
    if (image.isNull() || size.isEmpty())
        return {};
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool ImageUtility::saveImageToPath(const QString &path, const QString &type, const QByteArray &encoded, int index,
                                   double compression)
{
    QBuffer buffer;
    buffer.setData(encoded);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (index > 0 && !reader.jumpToImage(index))
        return false;
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    return writeToURL(path, type, image, compression);
}

bool ImageUtility::writeToURL(const QString &path, const QString &type, const QImage &image, double compression)
{
    if (image.isNull())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray format = type.toLatin1().toLower();
    if (format == "jpg" || format == "jpeg") {
        if (!writeJpeg(&file, image, qBound(0, int(compression * 100 + 0.5), 100), true)) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    }
    QImageWriter writer(&file, format);
    // The quality only applies to lossy formats; for PNG Qt would read it as a
    // zlib level and write needlessly large files.
    if (format == "webp")
        writer.setQuality(qBound(0, int(compression * 100 + 0.5), 100));
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool ImageUtility::writeJpeg(QIODevice *device, const QImage &image, int quality, bool progressive)
{
    if (image.isNull())
        return false;
    QImageWriter writer(device, "jpeg");
    writer.setQuality(qBound(0, quality, 100));
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image);
}
