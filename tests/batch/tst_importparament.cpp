#include "TestSupport.h"
#include "batch/ImportParament.h"

#include <QtTest>

class ImportParamentTest : public QObject
{
    Q_OBJECT
private slots:
    void dictionaryRoundTrip()
    {
        ImportParament p;
        p.sourceFiles = {"/books/a.PDF"};
        p.strPassword = "pw";
        p.strPageRange = "2-5";
        p.iQualityLevel = 2;
        p.iWidePageMode = 1;
        QCOMPARE(ImportParament::fromDictionary(p.toDictionary()), p);
        QVERIFY(p.isPDFImport());
        p.sourceFiles = {"/pics/1.jpg", "/pics/2.jpg"};
        QVERIFY(!p.isPDFImport());
    }

    void badValuesKeepDefaults()
    {
        const ImportParament p = ImportParament::fromDictionary(
            {{"pageRange", "  "}, {"qualityLevel", 7}, {"widePageMode", "many"}});
        QCOMPARE(p.strPageRange, QString("ALL"));
        QCOMPARE(p.iQualityLevel, 0);
        QCOMPARE(p.iWidePageMode, 0);
        QVERIFY(p.sourceFiles.isEmpty());
    }
};

QV_TEST(ImportParamentTest)
#include "tst_importparament.moc"
