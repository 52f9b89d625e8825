// Measures a PDF import: pages per second, peak memory, and the wall time against
// pdftoppm rendering the same pages at the same resolution to JPEG of the same quality
// as the import's page renders, with one process per core.
//
//   import_bench [--pdf FILE] [--password TEXT] [--quality 0|1|2] [--pages N] [--threads N] [--runs N]
//
// Without --pdf a document of N pages (default 120) with text and shapes is made
// first, in a child process so that its memory does not count. --make-pdf FILE only
// writes that document; with --manual it is laid out like a product manual instead:
// two columns of varied text, a vector diagram or chart on most pages and a
// photograph-like picture on every third one (US Letter). The two are run in
// pairs, the import first (A, B, A, B ...), --runs pairs (default 5); the figures are
// medians, the ratio the median of the pairs' ratios. Target: at most 1.30.

#include "BenchSupport.h"
#include "batch/ImportParament.h"
#include "foundation/ImageUtility.h"
#include "pages/FlashPageSource.h"
#include "pages/PageImaging.h"
#include "pages/PageImport.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include <sys/resource.h>

namespace {

bool makePdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p;
    if (!p.begin(&writer))
        return false;
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(28);
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPixelSize(11);
    const QString words = QStringLiteral(
        "The quick brown fox jumps over the lazy dog while the printer hums and the pages turn one by one. ");
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        p.setPen(Qt::black);
        p.setFont(title);
        p.drawText(QPointF(50, 80), QStringLiteral("Chapter %1").arg(i + 1));
        p.setFont(body);
        for (int line = 0; line < 48; ++line)
            p.drawText(QRectF(50, 110 + line * 14, 495, 14), Qt::AlignLeft | Qt::TextDontClip,
                       words.mid((line * 7 + i) % 40) + words.left(40));
        for (int s = 0; s < 6; ++s) {
            p.setBrush(QColor::fromHsv((i * 37 + s * 50) % 360, 160, 220));
            p.setPen(QPen(Qt::darkGray, 2));
            p.drawEllipse(QPointF(90 + s * 80, 800), 28, 18);
        }
        QLinearGradient g(0, 0, 595, 0);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor::fromHsv((i * 23) % 360, 120, 240));
        p.fillRect(QRectF(0, 0, 595, 30), g);
    }
    return p.end();
}

// A picture with the grain of a photograph: smooth shapes of light, colour noise and
// fine detail, the same for the same seed.
QImage photoLike(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = seed * 2654435761u + 1;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    const double fx = 0.004 + (next() % 100) / 20000.0, fy = 0.006 + (next() % 100) / 20000.0;
    const int hue = int(next() % 360);
    for (int y = 0; y < height; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double base = 0.5 + 0.25 * std::sin(x * fx * 6.3 + std::cos(y * fy * 4.1)) + 0.2 * std::cos((x + y) * fy * 3.7);
            const int grain = int(next() % 7) - 3;
            const QColor c = QColor::fromHsv((hue + x / 9 + y / 13) % 360, 90 + int(60 * base),
                                             std::clamp(int(255 * base) + grain, 0, 255));
            row[x] = c.rgb();
        }
    }
    return image;
}

bool makeManualPdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p;
    if (!p.begin(&writer))
        return false;
    static const char *const vocabulary[] = {
        "press", "the", "button", "to", "select", "menu", "settings", "display", "battery", "charge", "cable", "connect",
        "device", "power", "screen", "brightness", "warranty", "service", "safety", "instructions", "before", "using",
        "clean", "with", "a", "soft", "dry", "cloth", "temperature", "operating", "range", "hold", "for", "three",
        "seconds", "until", "indicator", "light", "flashes", "green", "network", "wireless", "pairing", "mode", "reset",
        "factory", "default", "values", "appear", "when", "firmware", "update", "is", "complete", "Überprüfen", "café",
        "naïve", "température", "and", "of", "in", "on", "may", "not", "should", "be", "used", "near", "water"};
    constexpr int kWords = int(sizeof(vocabulary) / sizeof(vocabulary[0]));
    quint32 state = 12345;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7fff;
    };
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(20);
    title.setBold(true);
    QFont body(QStringLiteral("DejaVu Serif"));
    body.setPixelSize(9);
    const double pageW = 612, pageH = 792, margin = 54, gutter = 18, colW = (pageW - 2 * margin - gutter) / 2;
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        p.setPen(Qt::black);
        p.setFont(title);
        p.drawText(QPointF(margin, 70), QStringLiteral("%1. Chapter %2").arg(i / 12 + 1).arg(i + 1));
        p.setPen(QPen(QColor(0, 70, 140), 1.5));
        p.drawLine(QPointF(margin, 78), QPointF(pageW - margin, 78));
        // What the page holds besides text: a picture, a diagram or neither.
        const bool photo = i % 3 == 1, diagram = !photo && i % 4 != 3;
        const double figureTop = 96, figureH = photo ? 230 : diagram ? 200 : 0;
        if (photo) {
            p.drawImage(QRectF(margin, figureTop, pageW - 2 * margin, figureH), photoLike(900, 410, quint32(i)));
        } else if (diagram) {
            p.setPen(QPen(Qt::darkGray, 1));
            for (int b = 0; b < 8; ++b) {
                const double h = 30 + next() % 150;
                p.setBrush(QColor::fromHsv((b * 40 + i * 7) % 360, 140, 210));
                p.drawRect(QRectF(margin + 20 + b * 58, figureTop + figureH - h, 40, h));
            }
            p.setBrush(Qt::NoBrush);
            p.drawLine(QPointF(margin + 10, figureTop + figureH), QPointF(pageW - margin, figureTop + figureH));
            p.drawLine(QPointF(margin + 10, figureTop), QPointF(margin + 10, figureTop + figureH));
            p.setPen(QPen(QColor(200, 40, 40), 2));
            QPainterPath curve(QPointF(margin + 20, figureTop + 150));
            for (int k = 1; k <= 8; ++k)
                curve.lineTo(QPointF(margin + 20 + k * 58, figureTop + 40 + next() % 120));
            p.drawPath(curve);
        }
        p.setPen(Qt::black);
        p.setFont(body);
        const double textTop = figureTop + figureH + (figureH > 0 ? 18 : 0);
        for (int column = 0; column < 2; ++column) {
            const double x = margin + column * (colW + gutter);
            for (double y = textTop + 10; y < pageH - margin; y += 11.5) {
                QString line;
                while (line.size() < 52)
                    line += QString::fromUtf8(vocabulary[next() % kWords]) + QLatin1Char(' ');
                p.drawText(QRectF(x, y - 9, colW, 12), Qt::AlignLeft | Qt::TextDontClip, line.trimmed());
            }
        }
        p.drawText(QRectF(0, pageH - 36, pageW, 12), Qt::AlignHCenter, QString::number(i + 1));
    }
    return p.end();
}

// CPU seconds (user + system) used so far by this process or by its waited-for children.
double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double best(const std::vector<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}

// pdftoppm over the given page numbers, split into one contiguous share per process.
double pdftoppmSeconds(const QString &pdf, const QString &password, int dpi, int jpegQuality, int pageCount,
                       int processes, const QString &outFolder)
{
    processes = std::max(1, std::min(processes, pageCount));
    QList<QProcess *> running;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < processes; ++i) {
        const int first = 1 + int(qint64(pageCount) * i / processes);
        const int last = int(qint64(pageCount) * (i + 1) / processes);
        if (first > last)
            continue;
        auto *proc = new QProcess;
        proc->setStandardOutputFile(QProcess::nullDevice());
        proc->setStandardErrorFile(QProcess::nullDevice());
        QStringList args{QStringLiteral("-jpeg"), QStringLiteral("-jpegopt"),
                         QStringLiteral("quality=%1").arg(jpegQuality), QStringLiteral("-r"), QString::number(dpi),
                         QStringLiteral("-f"), QString::number(first), QStringLiteral("-l"), QString::number(last)};
        if (!password.isEmpty())
            args << QStringLiteral("-upw") << password;
        args << pdf << outFolder + QStringLiteral("/p%1").arg(i);
        proc->start(QStringLiteral("pdftoppm"), args);
        running << proc;
    }
    bool ok = true;
    for (QProcess *proc : running) {
        ok = proc->waitForFinished(-1) && proc->exitCode() == 0 && ok;
        delete proc;
    }
    return ok ? timer.nsecsElapsed() / 1e9 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::useOffscreenUnlessSet();
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("PDF to import."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("password"), QStringLiteral("Its password."), QStringLiteral("text")});
    parser.addOption({QStringLiteral("quality"), QStringLiteral("Quality level 0, 1 or 2."), QStringLiteral("level"),
                      QStringLiteral("0")});
    parser.addOption({QStringLiteral("pages"), QStringLiteral("Pages of the generated PDF."), QStringLiteral("n"),
                      QStringLiteral("120")});
    parser.addOption({QStringLiteral("threads"), QStringLiteral("Worker threads (0: one per core)."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Pairs of runs (medians are shown)."),
                      QStringLiteral("n"), QStringLiteral("5")});
    parser.addOption({QStringLiteral("make-pdf"), QStringLiteral("Only write the generated PDF."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("manual"), QStringLiteral("The generated PDF is laid out like a manual.")});
    parser.process(app);

    if (parser.isSet(QStringLiteral("make-pdf"))) {
        const QString file = parser.value(QStringLiteral("make-pdf"));
        const int count = parser.value(QStringLiteral("pages")).toInt();
        return (parser.isSet(QStringLiteral("manual")) ? makeManualPdf(file, count) : makePdf(file, count)) ? 0 : 1;
    }

    QTemporaryDir work;
    QString pdf = parser.value(QStringLiteral("pdf"));
    if (pdf.isEmpty()) {
        pdf = work.filePath(QStringLiteral("bench.pdf"));
        const int made = QProcess::execute(QCoreApplication::applicationFilePath(),
                                           {QStringLiteral("--make-pdf"), pdf, QStringLiteral("--pages"),
                                            parser.value(QStringLiteral("pages"))});
        if (made != 0) {
            std::fprintf(stderr, "could not make the test PDF\n");
            return 1;
        }
    }
    const int quality = parser.value(QStringLiteral("quality")).toInt();
    const int dpi = ImageUtility::getImageDPIByLevel(quality);
    const QString password = parser.value(QStringLiteral("password"));

    ImportParament param;
    param.sourceFiles = {pdf};
    param.strPassword = password;
    param.iQualityLevel = quality;
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());
    const int cores = QThread::idealThreadCount();
    const QString book = work.filePath(QStringLiteral("book/pages"));
    const QString ppm = work.filePath(QStringLiteral("ppm"));

    // Import and pdftoppm in pairs, A then B, so that a change in what else the machine
    // runs weighs on both of a pair alike. The import gives the page count.
    const int jpegQuality = PageImaging::kLargeJpeg.quality;
    std::vector<double> ourWall, ourCpu, theirWall, theirCpu, ratios;
    int pages = 0;
    for (int run = 0; run < runs; ++run) {
        {
            PageImport import(param, book);
            import.setThreadCount(parser.value(QStringLiteral("threads")).toInt());
            QElapsedTimer timer;
            const double cpuBefore = cpuSeconds(RUSAGE_SELF);
            timer.start();
            if (!import.run()) {
                std::fprintf(stderr, "import failed: %s\n", qPrintable(import.result().message));
                return 1;
            }
            ourWall.push_back(timer.nsecsElapsed() / 1e9);
            ourCpu.push_back(cpuSeconds(RUSAGE_SELF) - cpuBefore);
            pages = import.pageSource()->pageCount();
            QDir(work.filePath(QStringLiteral("book"))).removeRecursively(); // disk space for the next turn
        }
        QDir().mkpath(ppm);
        const double childCpuBefore = cpuSeconds(RUSAGE_CHILDREN);
        const double seconds = pdftoppmSeconds(pdf, password, dpi, jpegQuality, pages, cores, ppm);
        if (seconds < 0) {
            std::fprintf(stderr, "pdftoppm not available or failed\n");
            return 1;
        }
        theirWall.push_back(seconds);
        theirCpu.push_back(cpuSeconds(RUSAGE_CHILDREN) - childCpuBefore);
        QDir(ppm).removeRecursively();
        ratios.push_back(ourWall.back() / theirWall.back());
        std::printf("pair %d:               import %.2f s (CPU %.2f s), pdftoppm %.2f s (CPU %.2f s), ratio %.2f\n",
                    run + 1, ourWall.back(), ourCpu.back(), theirWall.back(), theirCpu.back(), ratios.back());
    }
    const qint64 peak = BenchSupport::peakMemoryKiB();

    const double ours = median(ourWall), theirs = median(theirWall);
    std::printf("pages:                %d (quality %d, %d dpi, JPEG quality %d, %d cores, %d pairs; medians)\n", pages,
                quality, dpi, jpegQuality, cores, runs);
    std::printf("import time:          %.2f s (best %.2f s)\n", ours, best(ourWall));
    std::printf("pages per second:     %.1f\n", pages / ours);
    std::printf("peak memory (VmHWM):  %.1f MiB\n", peak / 1024.0);
    std::printf("pdftoppm time:        %.2f s (best %.2f s, %d processes)\n", theirs, best(theirWall), cores);
    std::printf("time ratio:           %.2f, median of the pairs' ratios (target <= 1.30)\n", median(ratios));
    // Wall time depends on what else the machine runs; CPU time much less so.
    std::printf("CPU time:             import %.2f s, pdftoppm %.2f s, ratio %.2f\n", median(ourCpu),
                median(theirCpu), median(ourCpu) / median(theirCpu));
    return 0;
}
