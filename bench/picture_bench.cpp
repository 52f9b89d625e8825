// Measures JPEG settings for the page pictures of a book: renders sample pages of a
// PDF as the import does, makes each kind of picture from them, encodes it at a range
// of qualities (with the standard Huffman tables, with tables made for the picture,
// and with those in progressive scans), and prints
// for each setting the bytes per page, the encoding time, and how close the decoded
// picture is to the unencoded one (PSNR and SSIM of the luminance, SSIM's mean and
// worst page; 1.0 is identical). The settings the program uses are marked "*"; the
// last columns are the bytes and time as a ratio to the standard tables at the same
// quality, and whether every picture decodes to the standard tables' pixels.
//
// The three codings take turns on each picture (their order turning too), --rounds
// times, each keeping its memory from one picture to the next as the import does;
// times are the median round's, the time ratio the median of the rounds' ratios.
//
//   picture_bench [--pdf FILE] [--quality 0|1|2] [--samples N] [--rounds N] [--dump DIR]
//
// --dump writes a 400 x 300 crop of the first measured page's pictures into DIR as
// PNG, unencoded and decoded at each quality, to look at side by side.
//
// Without --pdf the import benchmark's generated document is used (import_bench
// --make-pdf, run from the same folder).

#include "BenchSupport.h"
#include "foundation/ImageUtility.h"
#include "pages/AreaScaler.h"
#include "pages/JpegEncoder.h"
#include "pages/JpegScanCoder.h"
#include "pages/PageImaging.h"
#include "pages/PdfDocument.h"
#include "pages/PdfPageReader.h"

#include <QCommandLineParser>
#include <poppler-qt6.h>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Luminance of an RGB888 picture, as doubles.
std::vector<double> luma(const QImage &image)
{
    const QImage rgb = PageImaging::opaque(image);
    std::vector<double> out(size_t(rgb.width()) * size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar *row = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            out[size_t(y) * size_t(rgb.width()) + size_t(x)] =
                0.299 * row[3 * x] + 0.587 * row[3 * x + 1] + 0.114 * row[3 * x + 2];
    }
    return out;
}

// PSNR (all three channels) and mean SSIM (luminance, 8 x 8 windows every 4 pixels).
struct Likeness
{
    double psnr = 0, ssim = 0;
};

Likeness likeness(const QImage &original, const QImage &decoded)
{
    const QImage a = PageImaging::opaque(original), b = PageImaging::opaque(decoded);
    double squares = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *p = a.constScanLine(y), *q = b.constScanLine(y);
        for (int x = 0; x < a.width() * 3; ++x)
            squares += double(p[x] - q[x]) * double(p[x] - q[x]);
    }
    const double mse = squares / (double(a.width()) * a.height() * 3);
    Likeness l;
    l.psnr = mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99;

    const std::vector<double> ya = luma(a), yb = luma(b);
    const int w = a.width();
    constexpr double c1 = (0.01 * 255) * (0.01 * 255), c2 = (0.03 * 255) * (0.03 * 255);
    double sum = 0;
    int windows = 0;
    for (int y = 0; y + 8 <= a.height(); y += 4) {
        for (int x = 0; x + 8 <= w; x += 4) {
            double ma = 0, mb = 0;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i) {
                    ma += ya[size_t(y + j) * w + x + i];
                    mb += yb[size_t(y + j) * w + x + i];
                }
            ma /= 64;
            mb /= 64;
            double va = 0, vb = 0, cov = 0;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i) {
                    const double da = ya[size_t(y + j) * w + x + i] - ma, db = yb[size_t(y + j) * w + x + i] - mb;
                    va += da * da;
                    vb += db * db;
                    cov += da * db;
                }
            va /= 63;
            vb /= 63;
            cov /= 63;
            sum += ((2 * ma * mb + c1) * (2 * cov + c2)) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            ++windows;
        }
    }
    l.ssim = windows ? sum / windows : 1;
    return l;
}

struct Kind
{
    const char *name;
    std::vector<QImage> pictures;
    JpegSettings used;
};

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::useOffscreenUnlessSet();
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("PDF whose pages are measured."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("quality"), QStringLiteral("Import quality level 0, 1 or 2."), QStringLiteral("level"),
                      QStringLiteral("0")});
    parser.addOption({QStringLiteral("samples"), QStringLiteral("Pages measured, spread over the document."),
                      QStringLiteral("n"), QStringLiteral("12")});
    parser.addOption({QStringLiteral("rounds"), QStringLiteral("Rounds of the codings taking turns (medians)."),
                      QStringLiteral("n"), QStringLiteral("3")});
    parser.addOption({QStringLiteral("dump"), QStringLiteral("Folder for crops of the decoded pictures."),
                      QStringLiteral("dir")});
    parser.process(app);
    const QString dump = parser.value(QStringLiteral("dump"));
    const int rounds = std::max(1, parser.value(QStringLiteral("rounds")).toInt());

    QTemporaryDir work;
    const QString pdf = BenchSupport::benchPdf(parser.value(QStringLiteral("pdf")), work.filePath(QStringLiteral("bench.pdf")),
                                               QStringLiteral("24"));
    if (pdf.isEmpty()) {
        std::fprintf(stderr, "could not make the test PDF with import_bench\n");
        return 1;
    }
    const int level = parser.value(QStringLiteral("quality")).toInt();
    const int dpi = ImageUtility::getImageDPIByLevel(level);
    PageResult opened;
    std::unique_ptr<PdfPageReader> reader = PdfPageReader::open(pdf, QString(), dpi, &opened);
    if (!reader) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(pdf), qPrintable(opened.message));
        return 1;
    }
    const std::unique_ptr<Poppler::Document> document = PdfDocument::open(pdf, QString(), &opened);
    const int pageCount = document ? document->numPages() : 0;
    const int samples = std::max(1, std::min(pageCount, parser.value(QStringLiteral("samples")).toInt()));

    Kind large{"large (zoom)", {}, PageImaging::kLargeJpeg};
    Kind normal{"normal (page)", {}, PageImaging::kNormalJpeg};
    Kind small{"small (page on a small screen)", {}, PageImaging::kSmallJpeg};
    Kind thumb{"thumb", {}, PageImaging::kThumbJpeg};
    for (int i = 0; i < samples; ++i) {
        const int page = int(qint64(pageCount) * i / samples);
        PageResult r;
        const QImage render = reader->readPage(page, &r).copy();
        large.pictures.push_back(render);
        const QImage n = AreaScaler::scaled(render, PageImaging::pageBoxSize(render.size(), PageImaging::kDefaultNormalPageSize));
        normal.pictures.push_back(n);
        small.pictures.push_back(AreaScaler::scaled(n, PageImaging::smallSize(n.size())));
        thumb.pictures.push_back(AreaScaler::scaled(n, PageImaging::thumbSize(n.size())));
    }
    std::printf("%s: %d pages, %d measured, quality level %d (%d dpi); large %dx%d, normal %dx%d, small %dx%d, thumb %dx%d\n",
                qPrintable(pdf), pageCount, samples, level, dpi, large.pictures[0].width(), large.pictures[0].height(),
                normal.pictures[0].width(), normal.pictures[0].height(), small.pictures[0].width(),
                small.pictures[0].height(), thumb.pictures[0].width(), thumb.pictures[0].height());

    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    for (Kind *kind : {&large, &normal, &small, &thumb}) {
        std::printf("\n%s\n  quality  coding        KB/page   ms/page   PSNR dB   SSIM mean   SSIM worst   bytes   ms    "
                    "same pixels\n",
                    kind->name);
        const double n = double(kind->pictures.size());
        for (int quality : {70, 75, 80, 85, 88, 90, 95}) {
            const JpegSettings settings[3] = {{quality, false, false}, {quality, true, false}, {quality, true, true}};
            // Each coding's memory, kept from picture to picture; its time in each round.
            QByteArray memory[3];
            std::shared_ptr<JpegScanCoder> coders[3];
            std::vector<double> ms[3];
            std::vector<QByteArray> files[3];
            for (int round = 0; round < rounds; ++round) {
                double roundMs[3] = {};
                for (size_t p = 0; p < kind->pictures.size(); ++p) {
                    const QImage &picture = kind->pictures[p];
                    for (int turn = 0; turn < 3; ++turn) {
                        const int coding = (turn + round + int(p)) % 3;
                        QElapsedTimer t;
                        t.start();
                        JpegEncoder encoder(picture.size(), settings[coding], std::move(memory[coding]),
                                            std::move(coders[coding]));
                        encoder.addRows(picture.constBits(), picture.bytesPerLine(), picture.height());
                        QByteArray jpeg = encoder.finish();
                        coders[coding] = encoder.takeScanCoder();
                        roundMs[coding] += t.nsecsElapsed() / 1e6;
                        if (round == 0)
                            files[coding].push_back(jpeg);
                        else
                            memory[coding] = std::move(jpeg);
                    }
                }
                for (int coding = 0; coding < 3; ++coding)
                    ms[coding].push_back(roundMs[coding]);
            }
            std::vector<QByteArray> plainPixels;
            for (int coding = 0; coding < 3; ++coding) {
                const JpegSettings &setting = settings[coding];
                if (!dump.isEmpty() && coding == 0) {
                    const QImage &first = kind->pictures.front();
                    const QRect crop = QRect(first.width() / 4, first.height() / 4, 400, 300).intersected(first.rect());
                    const QString name = QString::fromLatin1(kind->name).section(QLatin1Char(' '), 0, 0);
                    first.copy(crop).save(QStringLiteral("%1/%2-original.png").arg(dump, name));
                    QImage::fromData(files[0].front(), "JPEG")
                        .copy(crop)
                        .save(QStringLiteral("%1/%2-q%3.png").arg(dump, name).arg(quality));
                }
                double bytes = 0, psnr = 0, ssim = 0, worst = 1;
                bool samePixels = true;
                for (size_t p = 0; p < kind->pictures.size(); ++p) {
                    const QByteArray &jpeg = files[coding][p];
                    bytes += jpeg.size();
                    const QImage decoded = QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB888);
                    const QByteArray pixels(reinterpret_cast<const char *>(decoded.constBits()), decoded.sizeInBytes());
                    if (coding == 0)
                        plainPixels.push_back(pixels);
                    else
                        samePixels = samePixels && pixels == plainPixels[p];
                    const Likeness l = likeness(kind->pictures[p], decoded);
                    psnr += l.psnr;
                    ssim += l.ssim;
                    worst = std::min(worst, l.ssim);
                }
                double plainBytes = 0;
                for (const QByteArray &jpeg : files[0])
                    plainBytes += jpeg.size();
                std::vector<double> ratios;
                for (int round = 0; round < rounds; ++round)
                    ratios.push_back(ms[coding][size_t(round)] / ms[0][size_t(round)]);
                const bool used = quality == kind->used.quality && setting.optimizeCoding == kind->used.optimizeCoding
                                  && setting.progressive == kind->used.progressive;
                static const char *const names[] = {"standard", "own", "own+progr."};
                std::printf("%s %4d    %-11s %8.1f  %8.2f  %8.2f    %.4f     %.4f      %.3f   %.2f  %s\n", used ? "*" : " ",
                            quality, names[coding], bytes / n / 1024, median(ms[coding]) / n, psnr / n, ssim / n, worst,
                            bytes / plainBytes, median(ratios), coding == 0 ? "-" : samePixels ? "yes" : "NO");
            }
        }
    }
    return 0;
}
