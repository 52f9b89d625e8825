// Times cover renders (CoverRenderer) of a large picture on one thread and on every
// core, for a plain design and for one with a turn, a wide shadow and a title.
//
//     cover_bench [--runs N] [--size PIXELS]

#include "furnishings/CoverRenderer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>
#include <QThread>

namespace {

QImage picture()
{
    QImage image(3000, 4000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, image.width(), image.height());
    gradient.setColorAt(0, QColor(200, 60, 40));
    gradient.setColorAt(1, QColor(30, 90, 200));
    painter.fillRect(image.rect(), gradient);
    return image;
}

double millisecondsPerRender(CoverRenderer &renderer, const QImage &source, const CoverDesign &design, int runs)
{
    renderer.render(source, design); // warm up
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < runs; ++i)
        renderer.render(source, design);
    return double(clock.nsecsElapsed()) / 1e6 / runs;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int runs = 5, side = 2400;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--size"))
            side = std::max(64, args[i + 1].toInt());
    }
    const QImage source = picture();
    CoverDesign plain;
    plain.setCanvasSize(QSize(side, side));
    plain.setShadowOpacity(0);
    CoverDesign rich = plain;
    rich.setTurn(30);
    rich.setShadowOpacity(0.6);
    rich.setShadowBlur(CoverDesign::kMaxBlur);
    rich.setTitle(QStringLiteral("The Almanac of the Year"));

    QTextStream out(stdout);
    const int cores = std::max(1, QThread::idealThreadCount());
    CoverRenderer one(1), all(cores);
    out << "cover " << side << "x" << side << " from a 3000x4000 picture, " << runs << " runs each\n";
    for (const auto &[name, design] : {std::pair<const char *, CoverDesign>{"plain", plain}, {"turn+shadow+title", rich}}) {
        const double single = millisecondsPerRender(one, source, design, runs);
        const double many = millisecondsPerRender(all, source, design, runs);
        out << QStringLiteral("%1: 1 thread %2 ms, %3 threads %4 ms (x%5)\n")
                   .arg(QString::fromLatin1(name))
                   .arg(single, 0, 'f', 1)
                   .arg(cores)
                   .arg(many, 0, 'f', 1)
                   .arg(single / many, 0, 'f', 2);
    }
    return 0;
}
