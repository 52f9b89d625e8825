#include "TestSupport.h"
#include "pages/AreaScaler.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

namespace {

QImage noise(const QSize &size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB888);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < size.width() * 3; ++x)
            row[x] = uchar(random.bounded(256));
    }
    return image;
}

// The exact average of the source area each result pixel covers.
double exactChannel(const QImage &source, const QSize &to, int x, int y, int channel)
{
    const double sx = double(source.width()) / to.width(), sy = double(source.height()) / to.height();
    double sum = 0;
    for (int j = int(y * sy); j < std::min(source.height(), int(std::ceil((y + 1) * sy))); ++j) {
        const double h = std::min((y + 1) * sy, j + 1.0) - std::max(y * sy, double(j));
        for (int i = int(x * sx); i < std::min(source.width(), int(std::ceil((x + 1) * sx))); ++i) {
            const double w = std::min((x + 1) * sx, i + 1.0) - std::max(x * sx, double(i));
            sum += w * h * source.constScanLine(j)[i * 3 + channel];
        }
    }
    return sum / (sx * sy);
}

} // namespace

class AreaScalerTest : public QObject
{
    Q_OBJECT
private slots:
    void reductionsAverageTheCoveredArea_data()
    {
        QTest::addColumn<QSize>("from");
        QTest::addColumn<QSize>("to");
        QTest::newRow("page to normal") << QSize(357, 505) << QSize(204, 288);
        QTest::newRow("normal to thumbnail") << QSize(204, 288) << QSize(28, 40);
        QTest::newRow("page to thumbnail") << QSize(1080, 1397) << QSize(155, 200);
        QTest::newRow("halves exactly") << QSize(64, 48) << QSize(32, 24);
        QTest::newRow("width only") << QSize(101, 30) << QSize(37, 30);
        QTest::newRow("height only, odd width") << QSize(33, 77) << QSize(33, 20);
        QTest::newRow("to one pixel") << QSize(19, 23) << QSize(1, 1);
        QTest::newRow("same size") << QSize(15, 9) << QSize(15, 9);
    }
    void reductionsAverageTheCoveredArea()
    {
        QFETCH(QSize, from);
        QFETCH(QSize, to);
        const QImage source = noise(from, 7);
        const QImage result = AreaScaler::scaled(source, to);
        QCOMPARE(result.size(), to);
        QCOMPARE(result.format(), QImage::Format_RGB888);
        double worst = 0;
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x)
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(result.constScanLine(y)[x * 3 + c] - exactChannel(source, to, x, y, c)));
        QVERIFY2(worst <= 2.5, qPrintable(QString("off by %1").arg(worst)));
    }

    void rowsMayComeInAnyBatches()
    {
        // A page is fed in bands; where the bands end must not matter.
        const QImage source = noise(QSize(181, 253), 11);
        const QSize to(103, 144);
        const QImage whole = AreaScaler::scaled(source, to);
        AreaScaler scaler(source.size(), to);
        int y = 0;
        for (int count : {1, 7, 32, 2, 100})
            for (; count > 0 && y < source.height(); --count, ++y)
                scaler.addRows(source.constScanLine(y), source.bytesPerLine(), 1);
        scaler.addRows(source.constScanLine(y), source.bytesPerLine(), source.height() - y);
        QVERIFY(scaler.isFinished());
        QCOMPARE(scaler.result(), whole);
    }

    void flatColoursStayExact()
    {
        // Rounded weights must not brighten or darken a page's white paper.
        for (const QColor colour : {QColor(Qt::white), QColor(Qt::black), QColor(200, 17, 99)}) {
            QImage source(QSize(1785, 97), QImage::Format_RGB888);
            source.fill(colour);
            const QImage result = AreaScaler::scaled(source, QSize(1018, 55));
            for (int y = 0; y < result.height(); ++y)
                for (int x = 0; x < result.width(); ++x)
                    QCOMPARE(result.pixelColor(x, y), colour);
        }
    }

    void transparentPicturesAreReducedOnWhite()
    {
        QImage clear(QSize(40, 40), QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QCOMPARE(AreaScaler::scaled(clear, QSize(10, 10)).pixelColor(5, 5), QColor(Qt::white));
    }
};

QV_TEST(AreaScalerTest)
#include "tst_areascaler.moc"
