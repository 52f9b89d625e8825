#include "TestSupport.h"
#include "publishing/AdvancedSettingValues.h"

#include <QtTest>

// The rules of the advanced output settings.
class AdvancedSettingValuesTest : public QObject
{
    Q_OBJECT
private slots:
    void storedWindowSizesAsTheSheetShowsThem()
    {
        const auto shows = [](const QString &stored) {
            const WindowSizeChoice c = WindowSizeChoice::fromString(stored);
            return QStringLiteral("%1 %2 %3x%4").arg(c.tag).arg(c.hasSize).arg(c.width).arg(c.height);
        };
        QCOMPARE(shows(""), QString("0 0 0x0"));
        QCOMPARE(shows("FULLSCREEN"), QString("1 0 0x0"));
        QCOMPARE(shows("CUSTOM:800,600"), QString("2 1 800x600"));
        QCOMPARE(shows("CUSTOM:800"), QString("2 0 0x0"));
        QCOMPARE(shows("CUSTOM"), QString("2 0 0x0"));
        QCOMPARE(shows("CUSTOM:99999999999,-5"), QString("2 1 2147483647x-5"));
    }

    void sizeFieldsKeepAPositiveNumber()
    {
        using AdvancedSettingRules::checkInputNumber;
        QCOMPARE(checkInputNumber("-800"), QString("800"));
        QCOMPARE(checkInputNumber("12ab"), QString("12"));
        QCOMPARE(checkInputNumber(" +640"), QString("640"));
        QCOMPARE(checkInputNumber("abc"), QString("0"));
        // Numbers beyond an int are held at the largest, never wrapped into negatives.
        QCOMPARE(checkInputNumber("4294967296"), QString("2147483647"));
        QCOMPARE(checkInputNumber("99999999999999999999999"), QString("2147483647"));
        QCOMPARE(checkInputNumber("-2147483648"), QString("2147483647"));
    }

    void customSizesOutsideTheScreenNeedConfirming()
    {
        using AdvancedSettingRules::fitsScreen;
        const QSize screen(1920, 1200);
        QVERIFY(fitsScreen(QSize(50, 50), screen) && fitsScreen(screen, screen));
        QVERIFY(!fitsScreen(QSize(49, 600), screen) && !fitsScreen(QSize(800, 49), screen));
        QVERIFY(!fitsScreen(QSize(1921, 600), screen) && !fitsScreen(QSize(800, 1201), screen));
    }
};

QV_TEST(AdvancedSettingValuesTest)
#include "tst_advancedsettingvalues.moc"
