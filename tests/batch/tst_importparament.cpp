#include "TestSupport.h"
#include "batch/ImportParament.h"

#include <QtTest>

class ImportParamentTest : public QObject
{
    Q_OBJECT
private slots:
    void dictionaryRoundTripAndBadValues()
    {
        ImportParament given;
        given.sourceFiles = {"/books/a.PDF"};
        given.strPassword = "pw";
        given.strPageRange = "2-5";
        given.iQualityLevel = 2;
        given.iWidePageMode = 1;
        QCOMPARE(ImportParament::fromDictionary(given.toDictionary()), given);
        QVERIFY(given.isPDFImport());

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
