#include "TestSupport.h"
#include "pages/PDFSearch.h"

#include <QtTest>

class PDFSearchTest : public QObject
{
    Q_OBJECT
private slots:
    void roundTripsAwkwardText()
    {
        const QStringList texts{"Plain words\nsecond line", "", "ends with ]]> inside and <tags> & \"quotes\"",
                                "  leading and trailing blanks  ", QString::fromUtf8("Ünïcödé — 漢字 😀")};
        PDFSearch search(texts);
        PDFSearch back;
        QVERIFY(back.fromXmlString(search.toXmlString()));
        QCOMPARE(back.pageTexts(), texts);
    }

    void dropsCharactersXmlCannotHold()
    {
        // Text taken from PDFs may hold control characters; the saved data must stay readable.
        PDFSearch search({QString("a") + QChar(0x01) + "b" + QChar(0x0B) + "c\tz"});
        PDFSearch back;
        QVERIFY(back.fromXmlString(search.toXmlString()));
        QCOMPARE(back.pageText(1), QString("abc\tz"));
    }

    void rejectsUnreadableData()
    {
        PDFSearch search({"kept"});
        QVERIFY(!search.fromXmlString("<PDFSearch><Page>"));
        QCOMPARE(search.pageTexts(), QStringList{"kept"});
    }
};

QV_TEST(PDFSearchTest)
#include "tst_pdfsearch.moc"
