// Makes the preloaders and plug-in bundles shipped with the program: small animated
// SWF movies with their preview pictures.
//
//   quorvel-make-furnishings RESOURCES
//
// writes RESOURCES/dataFiles/Preloaders/<name>.swf and <name>.png for every preloader,
// and RESOURCES/dataFiles/Plugin/<name>.bundle for every bundle:
//   Contents/Resources/data/shot.jpg             the preview picture
//   Contents/Resources/data/defaultsettings.dat  margins, opacity and container
//   Contents/Resources/html/<name>.swf           the movie a book shows
#include "SwfMovie.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QtMath>
#include <cstdio>
#include <functional>

namespace {

// One animation: shapes, and where each stands in every frame (always the same
// number of placements, one depth each).
struct Animation
{
    struct Placement
    {
        int piece;
        QTransform transform;
        qreal opacity = 1.0;
    };
    QSize stage;
    int frameRate = 12;
    int frames = 1;
    QList<QPair<QPainterPath, QColor>> pieces;
    std::function<QList<Placement>(int frame)> frame;
};

QPainterPath circle(qreal radius)
{
    QPainterPath path;
    path.addEllipse(QPointF(0, 0), radius, radius);
    return path;
}

QPainterPath box(qreal width, qreal height)
{
    QPainterPath path;
    path.addRect(-width / 2, -height / 2, width, height);
    return path;
}

QTransform at(qreal x, qreal y, qreal scale = 1.0, qreal degrees = 0.0)
{
    QTransform t;
    t.translate(x, y);
    t.rotate(degrees);
    t.scale(scale, scale);
    return t;
}

QByteArray toSwf(const Animation &a)
{
    SwfMovie movie(a.stage, a.frameRate);
    QList<int> ids;
    for (const auto &piece : a.pieces)
        ids << movie.defineShape(piece.first, piece.second);
    for (int f = 0; f < a.frames; ++f) {
        const QList<Animation::Placement> placements = a.frame(f);
        for (int i = 0; i < placements.size(); ++i)
            movie.place(ids.at(placements.at(i).piece), i + 1, placements.at(i).transform, placements.at(i).opacity);
        movie.showFrame();
    }
    return movie.toBytes();
}

// The frame drawn into a picture of size on background (transparent when invalid).
QImage picture(const Animation &a, int frame, const QSize &size, const QColor &background)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background.isValid() ? background : QColor(Qt::transparent));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = std::min(qreal(size.width()) / a.stage.width(), qreal(size.height()) / a.stage.height());
    p.translate((size.width() - a.stage.width() * scale) / 2, (size.height() - a.stage.height() * scale) / 2);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    for (const Animation::Placement &placement : a.frame(frame)) {
        p.save();
        p.setTransform(placement.transform, true);
        p.setOpacity(placement.opacity);
        p.setBrush(a.pieces.at(placement.piece).second);
        p.drawPath(a.pieces.at(placement.piece).first);
        p.restore();
    }
    return image;
}

bool save(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool savePicture(const QString &path, const QImage &image, const char *format)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, format);
    if (qstrcmp(format, "JPEG") == 0) {
        writer.setQuality(92);
        writer.setOptimizedWrite(true); // the same pixels in fewer bytes
    }
    return writer.write(image);
}

// Preloaders: shown alone while the first pages load.

Animation spinningDots()
{
    Animation a;
    a.stage = QSize(120, 120);
    a.frames = 8;
    a.pieces = {{circle(9), QColor(0x42, 0xA5, 0xF5)}};
    a.frame = [](int f) {
        QList<Animation::Placement> list;
        for (int i = 0; i < 8; ++i) {
            const qreal angle = i * M_PI / 4;
            const int behind = (f - i + 8) % 8;
            list << Animation::Placement{0, at(60 + 40 * qSin(angle), 60 - 40 * qCos(angle)), 1.0 - behind * 0.11};
        }
        return list;
    };
    return a;
}

Animation pulse()
{
    Animation a;
    a.stage = QSize(120, 120);
    a.frames = 16;
    a.frameRate = 16;
    a.pieces = {{circle(44), QColor(0xFF, 0xB3, 0x00)}};
    a.frame = [](int f) {
        const qreal wave = (1 - qCos(f * 2 * M_PI / 16)) / 2;
        return QList<Animation::Placement>{{0, at(60, 60, 0.5 + 0.5 * wave), 1.0 - 0.6 * wave}};
    };
    return a;
}

Animation bars()
{
    Animation a;
    a.stage = QSize(140, 80);
    a.frames = 10;
    a.pieces = {{box(16, 40), QColor(0x66, 0xBB, 0x6A)}};
    a.frame = [](int f) {
        QList<Animation::Placement> list;
        for (int i = 0; i < 5; ++i) {
            const int distance = qAbs((f % 10) - i * 2);
            const qreal grow = distance == 0 ? 1.6 : distance <= 2 ? 1.25 : 1.0;
            QTransform t;
            t.translate(22 + i * 24, 40);
            t.scale(1.0, grow);
            list << Animation::Placement{0, t, grow > 1.0 ? 1.0 : 0.55};
        }
        return list;
    };
    return a;
}

// Bundles: shown over or under the book.

// Things that drift across the stage vertically and come back where they started:
// each moves a whole number of stage heights per loop.
Animation drifting(const QSize &stage, int count, bool upwards, const QList<QPair<QPainterPath, QColor>> &pieces)
{
    Animation a;
    a.stage = stage;
    a.frameRate = 24;
    a.frames = 96;
    a.pieces = pieces;
    a.frame = [stage, count, upwards, n = int(pieces.size())](int f) {
        QList<Animation::Placement> list;
        const qreal span = stage.height() + 40;
        for (int i = 0; i < count; ++i) {
            const qreal x = std::fmod(37.0 + i * 97.3 + i * i * 53.1, stage.width());
            const qreal start = std::fmod(i * 61.7 + i * i * 29.3, span);
            const int laps = 1 + i % 2;
            qreal y = std::fmod(start + span * laps * f / 96.0, span) - 20;
            if (upwards)
                y = stage.height() - y;
            const qreal sway = 8 * qSin((f * laps * 2 * M_PI / 96) + i);
            list << Animation::Placement{i % n, at(x + sway, y), upwards ? 0.7 : 0.9};
        }
        return list;
    };
    return a;
}

Animation snowfall()
{
    return drifting(QSize(640, 400), 28, false,
                    {{circle(4), QColor(Qt::white)}, {circle(6), QColor(0xE3, 0xF2, 0xFD)}, {circle(3), QColor(Qt::white)}});
}

Animation bubbles()
{
    return drifting(QSize(640, 400), 14, true,
                    {{circle(14), QColor(0x4F, 0xC3, 0xF7)},
                     {circle(9), QColor(0xBA, 0x68, 0xC8)},
                     {circle(18), QColor(0x81, 0xC7, 0x84)}});
}

Animation glow()
{
    Animation a;
    a.stage = QSize(200, 200);
    a.frames = 30;
    a.frameRate = 15;
    QPainterPath rays;
    for (int i = 0; i < 12; ++i) {
        QPolygonF ray;
        for (const QPointF &p : {QPointF(-5, -54), QPointF(5, -54), QPointF(2, -90), QPointF(-2, -90)})
            ray << QTransform().rotate(i * 30).map(p);
        rays.addPolygon(ray);
        rays.closeSubpath();
    }
    a.pieces = {{rays, QColor(0xFF, 0xCA, 0x28)}, {circle(46), QColor(0xFF, 0xA0, 0x00)}};
    a.frame = [](int f) {
        const qreal wave = (1 - qCos(f * 2 * M_PI / 30)) / 2;
        return QList<Animation::Placement>{{0, at(100, 100, 1.0, f), 0.6 + 0.4 * wave},
                                           {1, at(100, 100, 0.92 + 0.08 * wave), 1.0}};
    };
    return a;
}

struct Bundle
{
    QString name;
    Animation animation;
    QString settings; // the six lines of defaultsettings.dat
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel-make-furnishings RESOURCES\n");
        return 1;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool ok = true;

    const QString preloaders = root + QStringLiteral("/dataFiles/Preloaders/");
    const QList<QPair<QString, Animation>> loaders{
        {QStringLiteral("Default"), spinningDots()}, {QStringLiteral("Pulse"), pulse()}, {QStringLiteral("Bars"), bars()}};
    for (const auto &[name, animation] : loaders) {
        ok = save(preloaders + name + QStringLiteral(".swf"), toSwf(animation)) && ok;
        ok = savePicture(preloaders + name + QStringLiteral(".png"), picture(animation, 0, QSize(120, 120), QColor()), "PNG")
             && ok;
    }

    const QString bundles = root + QStringLiteral("/dataFiles/Plugin/");
    const QList<Bundle> list{
        {QStringLiteral("Snowfall"), snowfall(), QStringLiteral("0.0\n0.0\n0.0\n0.0\n80.0\n0")},
        {QStringLiteral("Bubbles"), bubbles(), QStringLiteral("0.0\n0.0\n0.0\n0.0\n70.0\n1")},
        {QStringLiteral("Glow"), glow(), QStringLiteral("72.0\n4.0\n4.0\n66.0\n90.0\n1")},
    };
    for (const Bundle &b : list) {
        const QString contents = bundles + b.name + QStringLiteral(".bundle/Contents/Resources/");
        ok = save(contents + QStringLiteral("html/") + b.name + QStringLiteral(".swf"), toSwf(b.animation)) && ok;
        ok = save(contents + QStringLiteral("data/defaultsettings.dat"), b.settings.toUtf8()) && ok;
        ok = savePicture(contents + QStringLiteral("data/shot.jpg"),
                         picture(b.animation, b.animation.frames / 3, QSize(180, 120), QColor(0x24, 0x34, 0x4D))
                             .convertToFormat(QImage::Format_RGB32),
                         "JPEG")
             && ok;
    }
    if (!ok)
        std::fprintf(stderr, "quorvel-make-furnishings: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
