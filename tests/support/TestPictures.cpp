#include "TestPictures.h"

#include <QImage>
#include <QImageReader>
#include <QtTest>

namespace TestPictures {

bool writePicture(const QString &path, const QSize &size, const QColor &color, std::source_location caller)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const bool saved = image.save(path);
    if (!saved)
        QTest::qFail(qPrintable(QStringLiteral("cannot save the picture %1").arg(path)), caller.file_name(),
                     int(caller.line()));
    return saved;
}

QSize pictureSize(const QString &path)
{
    return QImageReader(path).size();
}

QByteArray pictureFormat(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.format();
}

} // namespace TestPictures
