#include "TestPictures.h"

#include "SwfMovie.h"

#include <QImage>
#include <QImageReader>
#include <QPainterPath>
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

QByteArray TestPictures::rectangleSwf(const QColor &color, int width, int height)
{
    SwfMovie movie(QSize(width, height), 24);
    QPainterPath stage;
    stage.addRect(0, 0, width, height);
    movie.place(movie.defineShape(stage, color), 1);
    movie.showFrame();
    return movie.toBytes();
}
