#include "TestSupport.h"
#include "batch/ConvertParament.h"
#include "project/AppSettings.h"
#include "foundation/SettingsStore.h"

#include <QtTest>

class ConvertParamentTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        SettingsStore::open()->clear();
    }

    void travelsThroughTheApplicationSettings()
    {
        ConvertParament record;
        record.setIOutputType(3);
        record.setStrOutputFolder("/out/");
        record.setStrOutputName("book");
        record.setStrTitle("Title");
        record.setStrKeywords("k");
        record.setStrDecription("d");
        record.setStrScripts("<script>x=1</script>");
        record.setLoadType(2);
        record.setCompressToZip(true);
        record.setIsConvertBasicHtml(true);
        record.setStrExeIconFile("/i.ico");
        record.setStrAppIconFile("/i.icns");

        AppSettings settings;
        record.writeToAppSettings(settings);
        settings.saveSettings();
        QCOMPARE(ConvertParament::fromAppSettings(AppSettings()), record);

        // A fresh installation starts the publish dialog with the defaults of the settings.
        SettingsStore::open()->clear();
        const ConvertParament fresh = ConvertParament::fromAppSettings(AppSettings());
        QCOMPARE(fresh.strTitle(), QStringLiteral("Demo"));
        QCOMPARE(fresh.strOutputName(), QStringLiteral("Zendarrow"));
        QVERIFY(fresh.strOutputFolder().endsWith("/Zendarrow/"));
    }

    void dictionaryFormRoundTripsAndIgnoresWrongEntries()
    {
        ConvertParament record;
        record.setIOutputType(6);
        record.setStrTitle("Tätigkeitsbericht");
        record.setCompressToZip(true);
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
    }
};

QV_TEST(ConvertParamentTest)
#include "tst_convertparament.moc"
