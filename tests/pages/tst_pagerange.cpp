#include "TestSupport.h"
#include "pages/PageRange.h"

#include <QtTest>

class PageRangeTest : public QObject
{
    Q_OBJECT
private slots:
    void selectsPages_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("all") << "ALL" << 3 << QList<int>{1, 2, 3};
        QTest::newRow("all, any case") << " all " << 2 << QList<int>{1, 2};
        QTest::newRow("empty means all") << "" << 2 << QList<int>{1, 2};
        QTest::newRow("mixed") << "1-3,5,8-" << 10 << QList<int>{1, 2, 3, 5, 8, 9, 10};
        QTest::newRow("open start") << "-2" << 5 << QList<int>{1, 2};
        QTest::newRow("blanks and semicolons") << " 2 - 3 ; 5 " << 6 << QList<int>{2, 3, 5};
        QTest::newRow("reversed span") << "5-3" << 6 << QList<int>{3, 4, 5};
        QTest::newRow("overlaps, unordered") << "4,1-3,2" << 6 << QList<int>{1, 2, 3, 4};
        QTest::newRow("span past the end is cut") << "2-99" << 4 << QList<int>{2, 3, 4};
        QTest::newRow("open end past the end is dropped") << "1,8-" << 5 << QList<int>{1};
        QTest::newRow("huge number") << "1,99999999999" << 3 << QList<int>{1};
    }
    void selectsPages()
    {
        QFETCH(QString, expression);
        QFETCH(int, pageCount);
        QFETCH(QList<int>, pages);
        PageResult result;
        const auto parsed = PageRange::parse(expression, pageCount, &result);
        QVERIFY2(parsed, qPrintable(result.message));
        QCOMPARE(*parsed, pages);
        QVERIFY(result.ok());
    }

    void rejectsWhatIsNotARange_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("pageCount");
        QTest::newRow("words") << "first page" << 5;
        QTest::newRow("zero") << "0-2" << 5;
        QTest::newRow("lone dash") << "-" << 5;
        QTest::newRow("two dashes") << "1-2-3" << 5;
        QTest::newRow("nothing inside the document") << "6-9" << 5;
        QTest::newRow("open end past the end") << "8-" << 5;
        QTest::newRow("empty document") << "ALL" << 0;
        QTest::newRow("only separators") << ",;," << 5;
    }
    void rejectsWhatIsNotARange()
    {
        QFETCH(QString, expression);
        QFETCH(int, pageCount);
        PageResult result;
        QVERIFY(!PageRange::parse(expression, pageCount, &result));
        QCOMPARE(result.error, PageError::BadPageRange);
        QVERIFY(!result.message.isEmpty());
    }
};

QV_TEST(PageRangeTest)
#include "tst_pagerange.moc"
