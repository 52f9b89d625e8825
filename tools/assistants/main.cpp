// Draws the narration characters shipped with the program, and the picture of the
// "none" choice, as PNG files:
//
//   quorvel-draw-assistants FOLDER
//
// writes FOLDER/Owl.png, FOLDER/Robot.png, FOLDER/Fox.png and FOLDER/none.png.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>
#include <functional>

namespace {

constexpr int kSize = 256;

void eye(QPainter &p, QPointF centre, qreal radius, QColor iris)
{
    p.setPen(QPen(QColor(0x33, 0x2A, 0x22), 3));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(iris);
    p.drawEllipse(centre, radius * 0.55, radius * 0.55);
    p.setBrush(QColor(0x1B, 0x1B, 0x1B));
    p.drawEllipse(centre, radius * 0.28, radius * 0.28);
    p.setBrush(Qt::white);
    p.drawEllipse(centre + QPointF(-radius * 0.2, -radius * 0.25), radius * 0.12, radius * 0.12);
}

void drawOwl(QPainter &p)
{
    const QColor body(0x8D, 0x6E, 0x63), belly(0xD7, 0xCC, 0xC8), dark(0x5D, 0x40, 0x37);
    p.setPen(QPen(dark, 4));
    p.setBrush(body);
    QPainterPath ears;
    ears.moveTo(60, 90);
    ears.lineTo(72, 30);
    ears.lineTo(110, 70);
    ears.moveTo(196, 90);
    ears.lineTo(184, 30);
    ears.lineTo(146, 70);
    p.drawPath(ears);
    p.drawEllipse(QRectF(48, 50, 160, 190));
    p.setBrush(belly);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(84, 140, 88, 92));
    p.setPen(QPen(dark, 2));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            const QPointF at(104 + col * 24, 160 + row * 22);
            p.drawArc(QRectF(at.x() - 8, at.y() - 6, 16, 12), 200 * 16, 140 * 16);
        }
    eye(p, {100, 110}, 26, QColor(0xFF, 0xB3, 0x00));
    eye(p, {156, 110}, 26, QColor(0xFF, 0xB3, 0x00));
    p.setPen(QPen(dark, 2));
    p.setBrush(QColor(0xFF, 0x8F, 0x00));
    QPainterPath beak;
    beak.moveTo(118, 132);
    beak.lineTo(138, 132);
    beak.lineTo(128, 152);
    beak.closeSubpath();
    p.drawPath(beak);
    p.setBrush(QColor(0xFF, 0x8F, 0x00));
    p.drawEllipse(QRectF(92, 230, 28, 14));
    p.drawEllipse(QRectF(136, 230, 28, 14));
}

void drawRobot(QPainter &p)
{
    const QColor metal(0x90, 0xA4, 0xAE), dark(0x37, 0x47, 0x4F), light(0xCF, 0xD8, 0xDC);
    p.setPen(QPen(dark, 4));
    p.drawLine(128, 52, 128, 28);
    p.setBrush(QColor(0xE5, 0x39, 0x35));
    p.drawEllipse(QPointF(128, 24), 10, 10);
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(60, 52, 136, 104), 22, 22);
    p.drawRect(QRectF(40, 84, 20, 40));
    p.drawRect(QRectF(196, 84, 20, 40));
    p.setBrush(light);
    p.drawRoundedRect(QRectF(76, 70, 104, 56), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0xBC, 0xD4));
    p.drawEllipse(QPointF(104, 96), 14, 14);
    p.drawEllipse(QPointF(152, 96), 14, 14);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(100, 92), 4, 4);
    p.drawEllipse(QPointF(148, 92), 4, 4);
    p.setPen(QPen(dark, 4));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(72, 164, 112, 76), 16, 16);
    p.setBrush(QColor(0xFF, 0xCA, 0x28));
    p.drawEllipse(QPointF(128, 202), 16, 16);
    p.setPen(QPen(dark, 3));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(100 + i * 18, 138), QPointF(100 + i * 18, 146));
}

void drawFox(QPainter &p)
{
    const QColor fur(0xEF, 0x6C, 0x00), cream(0xFF, 0xF3, 0xE0), dark(0x4E, 0x34, 0x2E);
    p.setPen(QPen(dark, 4));
    p.setBrush(fur);
    QPainterPath head;
    head.moveTo(40, 40);   // left ear tip
    head.lineTo(92, 76);
    head.lineTo(164, 76);
    head.lineTo(216, 40);  // right ear tip
    head.lineTo(212, 130);
    head.quadTo(200, 190, 128, 232); // chin
    head.quadTo(56, 190, 44, 130);
    head.closeSubpath();
    p.drawPath(head);
    p.setBrush(dark);
    QPainterPath innerEars;
    innerEars.moveTo(56, 62);
    innerEars.lineTo(84, 84);
    innerEars.lineTo(62, 104);
    innerEars.closeSubpath();
    innerEars.moveTo(200, 62);
    innerEars.lineTo(172, 84);
    innerEars.lineTo(194, 104);
    innerEars.closeSubpath();
    p.drawPath(innerEars);
    p.setPen(Qt::NoPen);
    p.setBrush(cream);
    QPainterPath cheeks;
    cheeks.moveTo(48, 140);
    cheeks.quadTo(100, 150, 128, 196);
    cheeks.quadTo(156, 150, 208, 140);
    cheeks.quadTo(196, 196, 128, 230);
    cheeks.quadTo(60, 196, 48, 140);
    p.drawPath(cheeks);
    eye(p, {100, 128}, 18, QColor(0x55, 0x8B, 0x2F));
    eye(p, {156, 128}, 18, QColor(0x55, 0x8B, 0x2F));
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    p.drawEllipse(QPointF(128, 204), 12, 9);
}

void drawNone(QPainter &p)
{
    p.setPen(QPen(QColor(0x9E, 0x9E, 0x9E), 14, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(128, 128), 80, 80);
    p.drawLine(QPointF(72, 184), QPointF(184, 72));
}

bool write(const QString &folder, const char *name, const std::function<void(QPainter &)> &draw)
{
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    const QString path = folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel-draw-assistants FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool ok = write(folder, "Owl", drawOwl) && write(folder, "Robot", drawRobot) && write(folder, "Fox", drawFox)
        && write(folder, "none", drawNone);
    return ok ? 0 : 1;
}
