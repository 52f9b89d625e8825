#include "TestPictures.h"
#include "TestSupport.h"
#include "pages/JpegEncoder.h"
#include "pages/JpegScanCoder.h"
#include "pages/PageImaging.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <cstdlib>
#include <jpeglib.h>

using TestPictures::decodedPixels;

namespace {

// libjpeg's own coding of the same scan script with tables made for the picture:
// what the scan coder's files are to be, byte for byte.
QByteArray libjpegProgressive(const QImage &image, int quality)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    std::vector<jpeg_scan_info> scans;
    for (const JpegScanCoder::Scan &scan : JpegScanCoder::pageScript()) {
        if (scan.first == 0)
            scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
        else
            scans.push_back({1, {scan.component, 0, 0, 0}, scan.first, scan.last, 0, 0});
    }
    cinfo.scan_info = scans.data();
    cinfo.num_scans = int(scans.size());
    cinfo.density_unit = 1;
    cinfo.X_density = 96;
    cinfo.Y_density = 96;
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < image.height(); ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(y));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

enum class Content { Page, Noise, Blank };

// A page of text, lines and a photograph-like patch; colour noise; or white.
QImage picture(const QSize &size, Content content, quint32 seed)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(Qt::white);
    QRandomGenerator random(seed);
    if (content == Content::Noise) {
        for (int y = 0; y < size.height(); ++y) {
            uchar *row = image.scanLine(y);
            for (int x = 0; x < size.width() * 3; ++x)
                row[x] = uchar(random.bounded(256));
        }
    } else if (content == Content::Page) {
        QPainter p(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(std::max(6, size.height() / 40));
        p.setFont(font);
        for (int line = 1; line < 40; ++line)
            p.drawText(8, line * size.height() / 40, QStringLiteral("Press the button %1 times, then hold it.").arg(line));
        p.fillRect(QRect(size.width() / 3, size.height() / 4, size.width() / 3, size.height() / 6), QColor(30, 90, 200));
        for (int y = size.height() / 2; y < size.height() * 2 / 3; ++y)
            for (int x = size.width() / 2; x < size.width() * 3 / 4; ++x)
                image.setPixelColor(x, y, QColor::fromHsv((x + y) % 360, 120, 150 + int(random.bounded(60))));
    }
    return image;
}

} // namespace

class JpegScanCoderTest : public QObject
{
    Q_OBJECT
private slots:
    void progressivePicturesAreLibjpegsBytes()
    {
        // Sizes that leave part blocks and part MCUs at the right and the bottom, odd
        // counts of blocks across and down; a blank picture long enough that a run of
        // empty blocks passes the longest one a symbol can say (32,767 blocks); noise
        // at quality 100 for the largest coefficients and codes longer than 16 bits
        // before the tables are limited. One coder's memory serves every picture in
        // turn, large after small and small after large.
        struct Case
        {
            QSize size;
            Content content;
            int quality;
        };
        const Case cases[] = {
            {{1, 1}, Content::Noise, 75},       {{9, 7}, Content::Page, 75},      {{17, 33}, Content::Noise, 100},
            {{250, 333}, Content::Page, 75},    {{639, 481}, Content::Page, 30},  {{1500, 1404}, Content::Blank, 75},
            {{401, 299}, Content::Noise, 100},  {{1224, 1584}, Content::Page, 80}, {{33, 16}, Content::Page, 5},
        };
        QByteArray memory;
        std::shared_ptr<JpegScanCoder> coder;
        for (const Case &c : cases) {
            const QImage image = picture(c.size, c.content, quint32(c.size.width()));
            JpegEncoder encoder(c.size, JpegSettings{c.quality, true, true}, std::move(memory), std::move(coder));
            encoder.addRows(image.constBits(), image.bytesPerLine(), image.height());
            const QByteArray ours = encoder.finish();
            coder = encoder.takeScanCoder();
            const QByteArray expected = libjpegProgressive(image, c.quality);
            QVERIFY2(ours == expected, qPrintable(QStringLiteral("%1 x %2 at quality %3: %4 bytes, libjpeg %5")
                                                      .arg(c.size.width())
                                                      .arg(c.size.height())
                                                      .arg(c.quality)
                                                      .arg(ours.size())
                                                      .arg(expected.size())));
            // The same pixels as the plain coding of the same picture.
            QCOMPARE(decodedPixels(ours), decodedPixels(JpegEncoder::encode(image, JpegSettings{c.quality, false, false})));
            memory = ours;
        }
    }

    void aCutOffProgressivePictureFails()
    {
        // Rows missing: no file, whatever the coder holds so far.
        const QImage image = picture(QSize(64, 64), Content::Page, 1);
        JpegEncoder cut(image.size(), PageImaging::kLargeJpeg);
        cut.addRows(image.constBits(), image.bytesPerLine(), 40);
        QVERIFY(cut.finish().isEmpty());
    }
};

QV_TEST(JpegScanCoderTest)
#include "tst_jpegscancoder.moc"
