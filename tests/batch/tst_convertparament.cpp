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
        record.setStrAppVersion("2.5");
        record.setStrAppIdentifier("com.example.atlas");
        record.setStrWindowSize("CUSTOM:800,600");
        record.setStrExeSize("FULLSCREEN");
        record.setIAppWindowHide(2);

        AppSettings settings;
        record.writeToAppSettings(settings);
        settings.saveSettings();
        QCOMPARE(ConvertParament::fromAppSettings(AppSettings()), record);

        // A record that leaves the desktop book fields unset keeps the settings' values.
        ConvertParament unset = record;
        unset.setStrAppVersion(QString());
        unset.setStrAppIdentifier(QString());
        unset.setStrWindowSize(QString());
        unset.setStrExeSize(QString());
        unset.setIAppWindowHide(0);
        unset.writeToAppSettings(settings);
        QCOMPARE(ConvertParament::fromAppSettings(settings), record);

        // A fresh installation starts the publish dialog with the defaults of the settings.
        SettingsStore::open()->clear();
        const ConvertParament fresh = ConvertParament::fromAppSettings(AppSettings());
        QCOMPARE(fresh.strTitle(), QStringLiteral("Demo"));
        QCOMPARE(fresh.strOutputName(), QStringLiteral("Zendarrow"));
        QVERIFY(fresh.strOutputFolder().endsWith("/Zendarrow/"));
        QCOMPARE(fresh.strAppVersion(), QStringLiteral("1.0"));
        QCOMPARE(fresh.strExeSize(), QStringLiteral("MAX"));
        QCOMPARE(fresh.iAppWindowHide(), 1);
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

        // Lists written before the desktop book fields existed read with them unset.
        QVariantMap older = record.toDictionary();
        for (const char *key : {"strAppVersion", "strAppIdentifier", "strWindowSize", "strExeSize", "iAppWindowHide"})
            older.remove(key);
        QCOMPARE(ConvertParament::fromDictionary(older), record);
    }
};

QV_TEST(ConvertParamentTest)
#include "tst_convertparament.moc"
