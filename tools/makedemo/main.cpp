// Draws the demo book that ships with the program (resources/demo/Demo.pdf):
//   quorvel-make-demo <out.pdf>
// Eight pages of text and pictures drawn with shapes, with a bookmark outline, so a
// new user sees every part of a book (pages, bookmarks, search text) at once. Run it
// again only when the demo book should change, and commit the result.

#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRadialGradient>

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double W = 540; // page size in points (3:4, the book's default page box)
constexpr double H = 720;

const QColor Ink(0x23, 0x2a, 0x36);
const QColor Sea(0x2f, 0x6f, 0xa8);
const QColor Sand(0xf3, 0xe9, 0xd2);
const QColor Coral(0xe0, 0x6c, 0x4f);
const QColor Leaf(0x4f, 0x9a, 0x5e);
const QColor Sun(0xf2, 0xb6, 0x3c);

QFont font(double size, bool bold = false, bool serif = false)
{
    QFont f(serif ? QStringLiteral("DejaVu Serif") : QStringLiteral("DejaVu Sans"));
    f.setPixelSize(int(size));
    f.setBold(bold);
    return f;
}

void paragraph(QPainter &p, const QRectF &box, const QString &text, double size = 15)
{
    p.setFont(font(size, false, true));
    p.setPen(Ink);
    p.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
}

void heading(QPainter &p, double y, const QString &text, const QString &kicker = {})
{
    if (!kicker.isEmpty()) {
        p.setFont(font(13, true));
        p.setPen(Coral);
        p.drawText(QPointF(48, y - 30), kicker.toUpper());
    }
    p.setFont(font(30, true));
    p.setPen(Ink);
    p.drawText(QPointF(48, y), text);
    p.setPen(QPen(Coral, 3));
    p.drawLine(QPointF(48, y + 14), QPointF(130, y + 14));
}

void folio(QPainter &p, int number)
{
    p.setFont(font(11));
    p.setPen(QColor(0x80, 0x86, 0x90));
    p.drawText(QRectF(0, H - 40, W, 20), Qt::AlignCenter, QString::number(number));
}

void background(QPainter &p, const QColor &color)
{
    p.fillRect(QRectF(0, 0, W, H), color);
}

// A lighthouse on rocks under a sky with a sun and a sea in front.
void lighthouseScene(QPainter &p, const QRectF &r)
{
    p.save();
    p.setClipRect(r);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0x9c, 0xc9, 0xea));
    sky.setColorAt(1, QColor(0xf7, 0xe3, 0xc0));
    p.fillRect(r, sky);
    p.setPen(Qt::NoPen);
    QRadialGradient glow(QPointF(r.right() - 90, r.top() + 80), 60);
    glow.setColorAt(0, Sun);
    glow.setColorAt(1, QColor(0xf2, 0xb6, 0x3c, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(r.right() - 90, r.top() + 80), 60, 60);
    p.setBrush(Sun);
    p.drawEllipse(QPointF(r.right() - 90, r.top() + 80), 28, 28);

    const double sea = r.top() + r.height() * 0.68;
    p.setBrush(QColor(0x6b, 0x6f, 0x76));
    QPainterPath rocks;
    rocks.moveTo(r.left() + 40, sea + 10);
    rocks.cubicTo(r.left() + 70, sea - 40, r.left() + 200, sea - 50, r.left() + 250, sea + 10);
    p.drawPath(rocks);

    const double x = r.left() + 145;
    QPainterPath tower;
    tower.moveTo(x - 28, sea - 30);
    tower.lineTo(x - 16, sea - 210);
    tower.lineTo(x + 16, sea - 210);
    tower.lineTo(x + 28, sea - 30);
    tower.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(tower);
    p.setBrush(Coral);
    // Width of the tapering tower at height y.
    const auto half = [sea](double y) { return 16 + 12 * (y - (sea - 210)) / 180; };
    for (int band = 0; band < 3; ++band) {
        const double top = sea - 190 + band * 55, bottom = top + 22;
        QPolygonF stripe;
        stripe << QPointF(x - half(top), top) << QPointF(x + half(top), top) << QPointF(x + half(bottom), bottom)
               << QPointF(x - half(bottom), bottom);
        p.drawPolygon(stripe);
    }
    p.setBrush(Ink);
    p.drawRect(QRectF(x - 20, sea - 240, 40, 30));
    p.setBrush(Sun);
    p.drawRect(QRectF(x - 13, sea - 234, 26, 18));
    p.setBrush(Ink);
    QPolygonF roof;
    roof << QPointF(x - 26, sea - 240) << QPointF(x, sea - 262) << QPointF(x + 26, sea - 240);
    p.drawPolygon(roof);
    QPolygonF beam;
    beam << QPointF(x + 13, sea - 230) << QPointF(r.right(), sea - 300) << QPointF(r.right(), sea - 200);
    p.setBrush(QColor(0xff, 0xf2, 0xb0, 110));
    p.drawPolygon(beam);

    QLinearGradient water(QPointF(0, sea), QPointF(0, r.bottom()));
    water.setColorAt(0, Sea);
    water.setColorAt(1, QColor(0x1c, 0x45, 0x6e));
    p.setBrush(water);
    p.drawRect(QRectF(r.left(), sea, r.width(), r.bottom() - sea));
    p.setPen(QPen(QColor(255, 255, 255, 150), 2));
    for (int i = 0; i < 6; ++i) {
        const double y = sea + 18 + i * 16;
        const double x0 = r.left() + 30 + (i % 3) * 90;
        p.drawLine(QPointF(x0, y), QPointF(x0 + 60, y));
        p.drawLine(QPointF(x0 + 190, y + 6), QPointF(x0 + 240, y + 6));
    }
    p.restore();
}

void bird(QPainter &p, const QPointF &at, double size)
{
    QPainterPath path;
    path.moveTo(at + QPointF(-size, 0));
    path.quadTo(at + QPointF(-size / 2, -size / 2), at);
    path.quadTo(at + QPointF(size / 2, -size / 2), at + QPointF(size, 0));
    p.setPen(QPen(Ink, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void cover(QPainter &p)
{
    background(p, Sand);
    lighthouseScene(p, QRectF(0, 0, W, H * 0.62));
    bird(p, QPointF(120, 90), 14);
    bird(p, QPointF(160, 120), 10);
    bird(p, QPointF(230, 70), 12);
    p.setFont(font(14, true));
    p.setPen(Coral);
    p.drawText(QPointF(48, H * 0.62 + 56), QStringLiteral("A QUORVEL DEMO BOOK"));
    p.setFont(font(42, true, true));
    p.setPen(Ink);
    p.drawText(QRectF(48, H * 0.62 + 70, W - 96, 120), Qt::TextWordWrap,
               QStringLiteral("The Lighthouse Keeper's Almanac"));
    p.setFont(font(15, false, true));
    p.drawText(QPointF(48, H - 48), QStringLiteral("Tides, birds and lights of a small island"));
}

void contents(QPainter &p)
{
    background(p, Qt::white);
    heading(p, 110, QStringLiteral("Contents"));
    const QStringList entries = {
        QStringLiteral("1  The Island"),        QStringLiteral("3"),
        QStringLiteral("2  Tides and Moon"),    QStringLiteral("4"),
        QStringLiteral("3  Birds of the Cliffs"), QStringLiteral("5"),
        QStringLiteral("4  Keeping the Light"), QStringLiteral("6"),
        QStringLiteral("5  A Year in Numbers"), QStringLiteral("7"),
    };
    p.setFont(font(18, false, true));
    for (int i = 0; i < entries.size(); i += 2) {
        const double y = 190 + i * 30;
        p.setPen(Ink);
        p.drawText(QPointF(60, y), entries.at(i));
        p.drawText(QRectF(W - 140, y - 20, 80, 30), Qt::AlignRight, entries.at(i + 1));
        p.setPen(QPen(QColor(0xc8, 0xcc, 0xd2), 1, Qt::DotLine));
        p.drawLine(QPointF(300, y - 4), QPointF(W - 140, y - 4));
    }
    paragraph(p, QRectF(60, 520, W - 120, 120),
              QStringLiteral("Turn the pages by dragging a corner, or use the arrows of the toolbar. "
                             "The bookmarks of this book lead to every chapter, and the search "
                             "finds any word you read here."));
    folio(p, 2);
}

void island(QPainter &p)
{
    background(p, Qt::white);
    heading(p, 110, QStringLiteral("The Island"), QStringLiteral("Chapter 1"));
    // A map: the island's outline, contour lines and the lighthouse's place.
    const QRectF map(48, 150, W - 96, 300);
    p.fillRect(map, QColor(0xd7, 0xea, 0xf5));
    QPainterPath land;
    land.moveTo(110, 300);
    land.cubicTo(140, 180, 300, 170, 380, 220);
    land.cubicTo(460, 260, 450, 390, 360, 410);
    land.cubicTo(260, 440, 90, 420, 110, 300);
    p.setPen(QPen(QColor(0x8a, 0x6d, 0x3b), 2));
    p.setBrush(QColor(0xe8, 0xdc, 0xb5));
    p.drawPath(land);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xa8, 0x8e, 0x5a), 1));
    for (double s : {0.75, 0.5, 0.28}) {
        QTransform t;
        t.translate(280, 310);
        t.scale(s, s);
        t.translate(-280, -310);
        p.drawPath(t.map(land));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Coral);
    p.drawEllipse(QPointF(400, 235), 7, 7);
    p.setFont(font(12, true));
    p.setPen(Ink);
    p.drawText(QPointF(412, 230), QStringLiteral("Light"));
    p.drawText(QPointF(215, 320), QStringLiteral("Gull Hill"));
    p.setPen(QPen(Ink, 2));
    p.drawLine(QPointF(70, 430), QPointF(70, 390));
    p.drawText(QPointF(64, 385), QStringLiteral("N"));
    paragraph(p, QRectF(48, 480, W - 96, 180),
              QStringLiteral("The island is a mile long and half a mile wide. Its one hill, Gull Hill, "
                             "rises to sixty metres, and the lighthouse stands on the rocks of its "
                             "northern cape, where the currents meet. Sheep keep the grass short; "
                             "the keeper keeps the lamp burning."));
    folio(p, 3);
}

void tides(QPainter &p)
{
    background(p, Qt::white);
    heading(p, 110, QStringLiteral("Tides and Moon"), QStringLiteral("Chapter 2"));
    // The moon's phases in a row, and a tide curve below them.
    for (int i = 0; i < 5; ++i) {
        const QPointF c(90 + i * 90, 200);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2b, 0x33, 0x45));
        p.drawEllipse(c, 30, 30);
        QPainterPath lit;
        lit.addEllipse(c, 30, 30);
        QPainterPath shade;
        const double offset = -60 + i * 30.0;
        shade.addEllipse(c + QPointF(offset, 0), 30, 30);
        p.setBrush(QColor(0xf4, 0xee, 0xd6));
        p.drawPath(i == 2 ? lit : lit.subtracted(shade));
    }
    const QRectF chart(48, 280, W - 96, 200);
    p.setPen(QPen(QColor(0xc8, 0xcc, 0xd2), 1));
    p.drawRect(chart);
    QPainterPath curve;
    for (int x = 0; x <= int(chart.width()); x += 4) {
        const double y = chart.center().y() - std::sin(x / chart.width() * 4 * M_PI) * 70;
        if (x == 0)
            curve.moveTo(chart.left() + x, y);
        else
            curve.lineTo(chart.left() + x, y);
    }
    p.setPen(QPen(Sea, 3));
    p.drawPath(curve);
    p.setFont(font(12));
    p.setPen(Ink);
    p.drawText(QPointF(chart.left() + 6, chart.top() + 16), QStringLiteral("High water"));
    p.drawText(QPointF(chart.left() + 6, chart.bottom() - 6), QStringLiteral("Low water"));
    paragraph(p, QRectF(48, 510, W - 96, 160),
              QStringLiteral("Twice a day the sea climbs the rocks and falls back. At new moon and "
                             "full moon the tides run highest: the spring tides. Between them come "
                             "the quiet neap tides, when the keeper can walk to the outer reef."));
    folio(p, 4);
}

void birds(QPainter &p)
{
    background(p, Qt::white);
    heading(p, 110, QStringLiteral("Birds of the Cliffs"), QStringLiteral("Chapter 3"));
    // A puffin drawn from ellipses.
    const QPointF c(170, 290);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(c, 70, 95);
    p.setBrush(Qt::white);
    p.drawEllipse(c + QPointF(18, 20), 45, 70);
    p.setBrush(Ink);
    p.drawEllipse(c + QPointF(0, -95), 48, 44);
    p.setBrush(Qt::white);
    p.drawEllipse(c + QPointF(12, -95), 30, 28);
    p.setBrush(Ink);
    p.drawEllipse(c + QPointF(14, -100), 5, 5);
    QPolygonF beak;
    beak << c + QPointF(38, -108) << c + QPointF(78, -92) << c + QPointF(38, -76);
    p.setBrush(Coral);
    p.drawPolygon(beak);
    p.setBrush(Sun);
    p.drawEllipse(c + QPointF(-20, 92), 20, 8);
    p.drawEllipse(c + QPointF(30, 92), 20, 8);

    p.setFont(font(16, true));
    p.setPen(Ink);
    p.drawText(QPointF(290, 200), QStringLiteral("Puffin"));
    p.drawText(QPointF(290, 290), QStringLiteral("Kittiwake"));
    p.drawText(QPointF(290, 380), QStringLiteral("Razorbill"));
    p.setFont(font(13, false, true));
    p.drawText(QRectF(290, 208, 200, 60), Qt::TextWordWrap, QStringLiteral("April to August, in burrows on the slope."));
    p.drawText(QRectF(290, 298, 200, 60), Qt::TextWordWrap, QStringLiteral("Nests on the narrowest ledges."));
    p.drawText(QRectF(290, 388, 200, 60), Qt::TextWordWrap, QStringLiteral("Dives for sand eels off the reef."));
    for (int i = 0; i < 7; ++i)
        bird(p, QPointF(80 + i * 60, 470 + (i % 2) * 14), 10 + (i % 3) * 3);
    paragraph(p, QRectF(48, 520, W - 96, 150),
              QStringLiteral("From spring to late summer the cliffs are loud with seabirds. The "
                             "keeper counts them every June from the gallery of the lighthouse."));
    folio(p, 5);
}

void light(QPainter &p)
{
    background(p, QColor(0x1b, 0x24, 0x30));
    p.setFont(font(13, true));
    p.setPen(Sun);
    p.drawText(QPointF(48, 80), QStringLiteral("CHAPTER 4"));
    p.setFont(font(30, true));
    p.setPen(Qt::white);
    p.drawText(QPointF(48, 110), QStringLiteral("Keeping the Light"));
    // The lamp and its rays.
    const QPointF c(W / 2, 300);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 30);
        QPolygonF ray;
        ray << QPointF(0, -8) << QPointF(170, -26) << QPointF(170, 26) << QPointF(0, 8);
        p.setBrush(QColor(0xf2, 0xb6, 0x3c, i % 2 ? 60 : 110));
        p.drawPolygon(ray);
        p.restore();
    }
    QRadialGradient lamp(c, 60);
    lamp.setColorAt(0, QColor(0xff, 0xf7, 0xd6));
    lamp.setColorAt(1, Sun);
    p.setBrush(lamp);
    p.drawEllipse(c, 55, 55);
    p.setFont(font(15, false, true));
    p.setPen(QColor(0xe6, 0xe9, 0xee));
    p.drawText(QRectF(48, 500, W - 96, 160), Qt::TextWordWrap,
               QStringLiteral("The light flashes white twice every ten seconds and can be seen twenty "
                              "nautical miles away. Each evening the keeper winds the clockwork, trims "
                              "the wick and writes the weather in the log."));
    p.setFont(font(11));
    p.setPen(QColor(0x9a, 0xa3, 0xb0));
    p.drawText(QRectF(0, H - 40, W, 20), Qt::AlignCenter, QStringLiteral("6"));
}

void numbers(QPainter &p)
{
    background(p, Qt::white);
    heading(p, 110, QStringLiteral("A Year in Numbers"), QStringLiteral("Chapter 5"));
    const int counts[] = {3, 5, 9, 14, 21, 26, 24, 19, 12, 7, 4, 2};
    const QStringList months = {"J", "F", "M", "A", "M", "J", "J", "A", "S", "O", "N", "D"};
    const QRectF chart(60, 160, W - 120, 260);
    p.setPen(QPen(QColor(0xc8, 0xcc, 0xd2), 1));
    for (int i = 0; i <= 5; ++i)
        p.drawLine(QPointF(chart.left(), chart.bottom() - i * chart.height() / 5),
                   QPointF(chart.right(), chart.bottom() - i * chart.height() / 5));
    const double bw = chart.width() / 12;
    p.setFont(font(12));
    for (int i = 0; i < 12; ++i) {
        const double h = counts[i] / 30.0 * chart.height();
        p.setPen(Qt::NoPen);
        p.setBrush(i >= 4 && i <= 7 ? Coral : Sea);
        p.drawRect(QRectF(chart.left() + i * bw + 6, chart.bottom() - h, bw - 12, h));
        p.setPen(Ink);
        p.drawText(QRectF(chart.left() + i * bw, chart.bottom() + 6, bw, 18), Qt::AlignCenter, months.at(i));
    }
    p.setFont(font(13, true));
    p.drawText(QPointF(chart.left(), chart.top() - 12), QStringLiteral("Ships seen from the light, per week"));
    // Three round figures.
    const struct { const char *value; const char *label; QColor color; } figures[] = {
        {"4,380", "hours of light", Sun}, {"731", "tides", Sea}, {"12", "storms", Coral}};
    for (int i = 0; i < 3; ++i) {
        const QPointF c(120 + i * 150, 540);
        p.setPen(Qt::NoPen);
        p.setBrush(figures[i].color);
        p.drawEllipse(c, 52, 52);
        p.setPen(Qt::white);
        p.setFont(font(20, true));
        p.drawText(QRectF(c.x() - 52, c.y() - 16, 104, 30), Qt::AlignCenter, QString::fromLatin1(figures[i].value));
        p.setPen(Ink);
        p.setFont(font(13, false, true));
        p.drawText(QRectF(c.x() - 70, c.y() + 60, 140, 20), Qt::AlignCenter, QString::fromLatin1(figures[i].label));
    }
    folio(p, 7);
}

void backCover(QPainter &p)
{
    QLinearGradient g(QPointF(0, 0), QPointF(0, H));
    g.setColorAt(0, Sea);
    g.setColorAt(1, QColor(0x1c, 0x45, 0x6e));
    p.fillRect(QRectF(0, 0, W, H), g);
    p.setFont(font(22, true, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(48, 260, W - 96, 200), Qt::AlignHCenter | Qt::TextWordWrap,
               QStringLiteral("Made with Quorvel.\nChange the design settings and watch this book change."));
    for (int i = 0; i < 3; ++i)
        bird(p, QPointF(220 + i * 50, 200 - (i % 2) * 16), 12);
}

struct Bookmark
{
    const char *title;
    int page; // from 0
    std::vector<Bookmark> children;
};

void addBookmarks(QPDF &pdf, const std::vector<QPDFPageObjectHelper> &pages, QPDFObjectHandle parent,
                  const std::vector<Bookmark> &items, int *total)
{
    QPDFObjectHandle previous;
    for (const Bookmark &b : items) {
        QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(b.title));
        item.replaceKey("/Parent", parent);
        QPDFObjectHandle dest = QPDFObjectHandle::newArray();
        dest.appendItem(pages.at(size_t(b.page)).getObjectHandle());
        dest.appendItem(QPDFObjectHandle::newName("/Fit"));
        item.replaceKey("/Dest", dest);
        if (previous.isInitialized()) {
            previous.replaceKey("/Next", item);
            item.replaceKey("/Prev", previous);
        } else {
            parent.replaceKey("/First", item);
        }
        parent.replaceKey("/Last", item);
        ++*total;
        if (!b.children.empty()) {
            int below = 0;
            addBookmarks(pdf, pages, item, b.children, &below);
            item.replaceKey("/Count", QPDFObjectHandle::newInteger(below));
            *total += below;
        }
        previous = item;
    }
}

bool writeOutline(const QString &drawn, const QString &out)
{
    const std::vector<Bookmark> outline = {
        {"Cover", 0, {}},
        {"Contents", 1, {}},
        {"Chapters", 2,
         {{"The Island", 2, {}},
          {"Tides and Moon", 3, {}},
          {"Birds of the Cliffs", 4, {}},
          {"Keeping the Light", 5, {}},
          {"A Year in Numbers", 6, {}}}},
        {"Back Cover", 7, {}},
    };
    try {
        // qpdf keeps the names' pointers while it works: the bytes must outlive it.
        const QByteArray drawnName = QFile::encodeName(drawn);
        const QByteArray outName = QFile::encodeName(out);
        QPDF pdf;
        pdf.processFile(drawnName.constData());
        const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        QPDFObjectHandle root = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        root.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
        int total = 0;
        addBookmarks(pdf, pages, root, outline, &total);
        root.replaceKey("/Count", QPDFObjectHandle::newInteger(total));
        pdf.getRoot().replaceKey("/Outlines", root);
        pdf.getRoot().replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));
        QPDFWriter writer(pdf, outName.constData());
        writer.setStaticID(true); // the same drawing gives the same file
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
        return true;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "quorvel-make-demo: %s\n", e.what());
        return false;
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel-make-demo <out.pdf>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString drawn = out + QStringLiteral(".drawn");
    {
        QPdfWriter writer(drawn);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(W, H), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(QStringLiteral("The Lighthouse Keeper's Almanac"));
        writer.setCreator(QStringLiteral("Quorvel"));
        QPainter p;
        if (!p.begin(&writer)) {
            std::fprintf(stderr, "quorvel-make-demo: cannot write %s\n", argv[1]);
            return 1;
        }
        p.setRenderHint(QPainter::Antialiasing);
        void (*const pages[])(QPainter &) = {cover, contents, island, tides, birds, light, numbers, backCover};
        bool first = true;
        for (auto draw : pages) {
            if (!first)
                writer.newPage();
            first = false;
            draw(p);
        }
        p.end();
    }
    const bool ok = writeOutline(drawn, out);
    QFile::remove(drawn);
    return ok ? 0 : 1;
}
