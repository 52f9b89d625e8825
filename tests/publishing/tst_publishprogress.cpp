#include "TestSupport.h"
#include "output/ConvertBookInfo.h"
#include "publishing/PhonePageSize.h"
#include "publishing/PublishProgress.h"

#include <QtTest>
#include <limits>

// The numbers a publish run shows and makes: progress and phone page sizes.
class PublishProgressTest : public QObject
{
    Q_OBJECT
private slots:
    void barStaysWithinItsRange()
    {
        QCOMPARE(PublishProgress::barValue(100, 3, 4), std::optional<int>(75));
        QCOMPARE(PublishProgress::barValue(100, 9, 4), std::optional<int>(100));
        QCOMPARE(PublishProgress::barValue(100, -2, 4), std::optional<int>(0));
        QCOMPARE(PublishProgress::barValue(100, 5, 0), std::nullopt);
        QCOMPARE(PublishProgress::barValue(100, 5, -1), std::nullopt);
        const qint64 huge = std::numeric_limits<qint64>::max();
        QCOMPARE(PublishProgress::barValue(1000, huge / 2, huge), std::optional<int>(500));
    }

    void labelFollowsTheStep()
    {
        QCOMPARE(PublishProgress::label(0, false), std::optional<QString>("Ready to publish..."));
        QCOMPARE(PublishProgress::label(15, true), std::optional<QString>("Preparing basic web pages..."));
        QCOMPARE(PublishProgress::label(16, true), std::optional<QString>("Compressing the book..."));
        QCOMPARE(PublishProgress::label(16, false), std::nullopt);
        QCOMPARE(PublishProgress::label(17, true), std::nullopt);
        QCOMPARE(PublishProgress::label(-1, false), std::nullopt);
    }

    void phonePageRatioFallsBackOnNonsense_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<double>("ratio");
        QTest::newRow("template values") << "1000" << "500" << 2.0;
        QTest::newRow("decimals") << " 600.5 " << "1201" << 0.5;
        QTest::newRow("zero height") << "1080" << "0" << 0.75;
        QTest::newRow("zero width") << "0" << "1440" << 0.75;
        QTest::newRow("text") << "wide" << "1440" << 0.75;
        QTest::newRow("empty") << "" << "" << 0.75;
        QTest::newRow("negative") << "-800" << "600" << 0.75;
        QTest::newRow("infinite") << "inf" << "600" << 0.75;
        QTest::newRow("not a number") << "nan" << "600" << 0.75;
        QTest::newRow("underflow") << "1e-300" << "1e300" << 0.75;
    }

    void phonePageRatioFallsBackOnNonsense()
    {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(double, ratio);
        QCOMPARE(PhonePageSize::pageRatio(width, height), ratio);
    }

    void phonePageSizeFillsTenTimesTheDpi()
    {
        QCOMPARE(PhonePageSize::sizeForRatio(0.75, 144), QSizeF(1080, 1440));
        QCOMPARE(PhonePageSize::sizeForRatio(2.0, 216), QSizeF(2160, 1080));
        QCOMPARE(PhonePageSize::sizeForRatio(1.0, 120), QSizeF(1200, 1200));
        QCOMPARE(PhonePageSize::sizeForRatio(1e9, 120), QSizeF(1200, 1)); // never thinner than a pixel
        QCOMPARE(PhonePageSize::sizeForRatio(0, 144), QSizeF(1080, 1440));
    }
};

QV_TEST(PublishProgressTest)
#include "tst_publishprogress.moc"
