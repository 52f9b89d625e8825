#include "TestSupport.h"
#include "publishing/PhonePageSize.h"
#include "publishing/PublishProgress.h"

#include <QtTest>

// The numbers a publish run shows and makes: progress and phone page sizes.
class PublishProgressTest : public QObject
{
    Q_OBJECT
private slots:
    void barAndLabelStayWithinTheirRange()
    {
        QCOMPARE(PublishProgress::barValue(100, 3, 4), std::optional<int>(75));
        QCOMPARE(PublishProgress::barValue(100, 9, 4), std::optional<int>(100));
        QCOMPARE(PublishProgress::barValue(100, -2, 4), std::optional<int>(0));
        QCOMPARE(PublishProgress::barValue(100, 5, 0), std::nullopt);
        QVERIFY(PublishProgress::label(16, true));
        QCOMPARE(PublishProgress::label(16, false), std::nullopt);
        QCOMPARE(PublishProgress::label(-1, false), std::nullopt);
    }

    void phonePageRatioFallsBackOnNonsense_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<double>("ratio");
        QTest::newRow("template values") << " 1000.5 " << "500.25" << 2.0;
        QTest::newRow("zero height") << "1080" << "0" << 0.75;
        QTest::newRow("text") << "wide" << "1440" << 0.75;
        QTest::newRow("negative") << "-800" << "600" << 0.75;
        QTest::newRow("infinite") << "inf" << "600" << 0.75;
        QTest::newRow("underflow") << "1e-300" << "1e300" << 0.75;
    }

    void phonePageRatioFallsBackOnNonsense()
    {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(double, ratio);
        QCOMPARE(PhonePageSize::pageRatio(width, height), ratio);
    }

    void phonePageSizeIsNeverThinnerThanAPixel()
    {
        QCOMPARE(PhonePageSize::sizeForRatio(1e9, 120), QSizeF(1200, 1));
    }
};

QV_TEST(PublishProgressTest)
#include "tst_publishprogress.moc"
