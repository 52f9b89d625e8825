// Draws the program's share logos: a coloured disc with the site's initial (an
// envelope for e-mail), written as ".ico" files of 16, 32 and 64 pixels:
//
//   quorvel-draw-shares FOLDER
//
// writes FOLDER/<site>.ico for every site of the default share collection. The logos
// are ours; they only name the site, in the plain letters any text would use.
#include "output/packages/IcoFile.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <cstdio>
#include <cstring>

namespace {

struct Logo
{
    const char *site;
    QColor colour;
    const char *letters; // empty: an envelope
};

const Logo kLogos[] = {
    {"facebook", QColor(0x3A, 0x5F, 0xB0), "f"},  {"x", QColor(0x26, 0x26, 0x26), "X"},
    {"linkedin", QColor(0x1F, 0x6F, 0xA8), "in"}, {"reddit", QColor(0xE0, 0x5A, 0x1C), "r"},
    {"pinterest", QColor(0xB8, 0x1F, 0x2E), "P"}, {"whatsapp", QColor(0x2E, 0x9E, 0x55), "W"},
    {"telegram", QColor(0x3B, 0x9B, 0xD4), "T"},  {"tumblr", QColor(0x35, 0x46, 0x5C), "t"},
    {"mailto", QColor(0x6D, 0x75, 0x80), ""},
};

QImage drawLogo(const Logo &logo, int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(logo.colour);
    p.drawEllipse(QRectF(1, 1, 62, 62));
    if (*logo.letters == 0) {
        p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(14, 20, 36, 25), 3, 3);
        QPainterPath flap;
        flap.moveTo(15, 22);
        flap.lineTo(32, 35);
        flap.lineTo(49, 22);
        p.drawPath(flap);
    } else {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(std::strlen(logo.letters) > 1 ? 30 : 38);
        QPainterPath text;
        text.addText(0, 0, font, QString::fromLatin1(logo.letters));
        const QRectF box = text.boundingRect();
        p.setBrush(Qt::white);
        p.drawPath(text.translated(32 - box.center().x(), 32 - box.center().y()));
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // the fonts need a GUI application, not a screen
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel-draw-shares FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const Logo &logo : kLogos) {
        QList<QImage> images;
        for (int side : {16, 32, 64})
            images << drawLogo(logo, side);
        const QByteArray ico = IcoFile::encodeImages(images);
        QSaveFile file(folder + QLatin1Char('/') + QLatin1String(logo.site) + QStringLiteral(".ico"));
        if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size() || !file.commit()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
