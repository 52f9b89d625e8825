// Draws the default icon of desktop books and writes it in the two forms the build
// needs:
//   quorvel-appicon --ico <file.ico> --icns <file.icns>
// The ".ico" holds 16, 32, 48 and 256 pixel pictures, all as 32-bit bitmaps, so the
// Windows launcher carries icon slots that any new picture of those sizes fits into.
// The ".icns" holds 16, 32, 128, 256, 512 and 1024 pixel pictures.

#include "output/packages/IcnsFile.h"
#include "output/packages/IcoFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <cstdio>

namespace {

// An open book on a rounded blue tile, drawn for a side of `side` pixels.
QImage drawIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 1024.0, side / 1024.0);

    QLinearGradient tile(0, 0, 0, 1024);
    tile.setColorAt(0, QColor(0x3b, 0x82, 0xd6));
    tile.setColorAt(1, QColor(0x1d, 0x4e, 0x8f));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(64, 64, 896, 896), 180, 180);

    // Two pages meeting at the spine, the right one lifting at its corner.
    QPainterPath left;
    left.moveTo(512, 300);
    left.cubicTo(420, 250, 290, 240, 190, 270);
    left.lineTo(190, 760);
    left.cubicTo(290, 730, 420, 740, 512, 790);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(512, 300);
    right.cubicTo(604, 250, 734, 240, 834, 270);
    right.lineTo(834, 640);
    right.cubicTo(780, 690, 740, 730, 700, 760);
    right.cubicTo(630, 750, 560, 765, 512, 790);
    right.closeSubpath();
    p.setBrush(QColor(0xfa, 0xfa, 0xf5));
    p.drawPath(left);
    p.setBrush(QColor(0xf0, 0xf0, 0xe8));
    p.drawPath(right);

    QPainterPath curl;
    curl.moveTo(834, 640);
    curl.cubicTo(800, 650, 760, 690, 700, 760);
    curl.cubicTo(760, 720, 800, 700, 834, 640);
    p.setBrush(QColor(0xc8, 0xc8, 0xbe));
    p.drawPath(curl);

    // Lines of text on both pages.
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 22, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const int y = 350 + i * 80;
        p.drawLine(QPointF(250, y), QPointF(450, y + 8));
        if (i < 4)
            p.drawLine(QPointF(574, y + 8), QPointF(774, y));
    }
    p.setPen(QPen(QColor(0x1d, 0x4e, 0x8f), 10));
    p.drawLine(QPointF(512, 300), QPointF(512, 790));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString icoPath, icnsPath;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--ico"))
            icoPath = args[i + 1];
        else if (args[i] == QLatin1String("--icns"))
            icnsPath = args[i + 1];
    }
    if (icoPath.isEmpty() && icnsPath.isEmpty()) {
        std::fprintf(stderr, "usage: quorvel-appicon --ico <file.ico> --icns <file.icns>\n");
        return 2;
    }
    if (!icoPath.isEmpty()) {
        QList<IcoFile::Picture> pictures;
        for (int side : {16, 32, 48, 256}) {
            IcoFile::Picture picture;
            picture.width = picture.height = side;
            picture.bitCount = 32;
            picture.data = IcoFile::encodeBitmap(drawIcon(side));
            pictures << picture;
        }
        if (!writeFile(icoPath, IcoFile::encode(pictures))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(icoPath));
            return 1;
        }
    }
    if (!icnsPath.isEmpty()) {
        QMap<int, QImage> images;
        for (int side : IcnsFile::writableSizes())
            images.insert(side, drawIcon(side));
        QString error;
        const std::optional<QByteArray> icns = IcnsFile::encode(images, &error);
        if (!icns || !writeFile(icnsPath, *icns)) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(icnsPath), qPrintable(error));
            return 1;
        }
    }
    return 0;
}
