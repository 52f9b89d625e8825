#include "TestSupport.h"
#include "batch/ConvertParament.h"

#include <QtTest>

class ConvertParamentTest : public QObject
{
    Q_OBJECT
private slots:
    void dictionaryFormRoundTripsAndIgnoresWrongEntries()
    {
        ConvertParament record;
        record.setIOutputType(6);
        record.setStrTitle("Tätigkeitsbericht");
        record.setCompressToZip(true);
        record.setStrMobileColor("0x12AB34");
        record.setStrMobileTemplateSettings("backgroundColor=0x445566\n");
        QCOMPARE(ConvertParament::fromDictionary(record.toDictionary()), record);

        QVariantMap damaged = record.toDictionary();
        damaged.insert("iOutputType", "six");
        damaged.insert("strTitle", QVariantList{1, 2});
        damaged.insert("compressToZip", "yes please");
        damaged.remove("loadType");
        const ConvertParament read = ConvertParament::fromDictionary(damaged);
        QCOMPARE(read.iOutputType(), 0);
        QCOMPARE(read.strTitle(), QString());
        QCOMPARE(read.compressToZip(), false);
        QCOMPARE(read.loadType(), 0);

        // Lists written before the desktop book fields existed read with them unset.
        QVariantMap older = record.toDictionary();
        for (const char *key : {"strAppVersion", "strAppIdentifier", "strWindowSize", "strExeSize", "iAppWindowHide",
                                "strMobileColor", "strMobileTemplateSettings"})
            older.remove(key);
        ConvertParament withoutMobile = record;
        withoutMobile.setStrMobileColor({});
        withoutMobile.setStrMobileTemplateSettings({});
        QCOMPARE(ConvertParament::fromDictionary(older), withoutMobile);
    }
};

QV_TEST(ConvertParamentTest)
#include "tst_convertparament.moc"
