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

int jpegFrameMarker(const QByteArray &jpeg)
{
    if (!jpeg.startsWith("\xFF\xD8"))
        return 0;
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const uchar marker = uchar(jpeg[at + 1]);
        if (marker == 0xFF) { // a fill byte
            ++at;
            continue;
        }
        // Frames are C0 to CF but for the Huffman (C4) and arithmetic (CC) tables and
        // the reserved C8.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker;
        if (marker == 0xDA || marker == 0xD9) // a scan or the end before any frame
            return 0;
        at += 2 + ((uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]));
    }
    return 0;
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
