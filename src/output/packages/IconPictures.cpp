#include "output/packages/IconPictures.h"

#include "output/packages/IcnsFile.h"
#include "output/packages/IcoFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace {
constexpr qint64 kMaxIconFileSize = 64 * 1024 * 1024;
} // namespace

QList<QImage> IconPictures::read(const QString &path, QString *error)
{
    const auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return QList<QImage>();
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read the icon file %1").arg(path));
    if (file.size() > kMaxIconFileSize)
        return fail(QStringLiteral("the icon file %1 is too large").arg(path));
    const QByteArray data = file.readAll();

    QList<QImage> images;
    if (data.startsWith("icns")) {
        if (const auto entries = IcnsFile::decode(data))
            for (const IcnsFile::Entry &entry : *entries)
                images << entry.image;
    } else if (data.size() >= 6 && data[0] == 0 && data[1] == 0 && data[2] == 1 && data[3] == 0) {
        images = IcoFile::decodeImages(data);
    } else {
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (!image.isNull())
            images << image;
    }
    if (images.isEmpty())
        return fail(QStringLiteral("the icon file %1 holds no picture that can be read").arg(path));
    return images;
}

QImage IconPictures::pictureForSize(const QList<QImage> &sources, const QSize &size)
{
    const QImage *exact = nullptr, *larger = nullptr, *largest = nullptr;
    for (const QImage &image : sources) {
        if (image.isNull())
            continue;
        const auto area = [](const QImage *i) { return qint64(i->width()) * i->height(); };
        if (image.size() == size && !exact)
            exact = &image;
        if (image.width() >= size.width() && image.height() >= size.height() && (!larger || area(&image) < area(larger)))
            larger = &image;
        if (!largest || area(&image) > area(largest))
            largest = &image;
    }
    const QImage *chosen = exact ? exact : larger ? larger : largest;
    if (!chosen)
        return {};
    if (chosen->size() == size)
        return *chosen;
    return chosen->scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
