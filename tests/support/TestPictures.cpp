#include "TestPictures.h"

#include "SwfMovie.h"
#include "pages/FlashPageSource.h"

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

QStringList missingPagePictures(const FlashPageSource &source)
{
    QStringList missing;
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
        const QList<FlashPagePtr> &list = source.pageList(kind);
        for (int i = 0; i < source.pageCount(); ++i) {
            const QString path = list.value(i) ? list.value(i)->pageFilePath() : QString();
            if (!pictureSize(path).isValid())
                missing << QStringLiteral("%1 %2: %3").arg(FlashPageSource::folderName(kind)).arg(i + 1).arg(path);
        }
    }
    return missing;
}

QByteArray decodedPixels(const QByteArray &jpeg)
{
    const QImage image = QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 3);
    return bytes;
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

QByteArray TestPictures::blinkingSwf(const QColor &first, const QColor &second, int width, int height)
{
    SwfMovie movie(QSize(width, height), 2);
    QPainterPath stage;
    stage.addRect(0, 0, width, height);
    const int a = movie.defineShape(stage, first), b = movie.defineShape(stage, second);
    movie.place(a, 1);
    movie.showFrame();
    movie.remove(1);
    movie.place(b, 1);
    movie.showFrame();
    return movie.toBytes();
}
