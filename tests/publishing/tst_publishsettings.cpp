#include "TestSupport.h"
#include "batch/ConvertParament.h"
#include "foundation/SettingsStore.h"
#include "project/AppSettings.h"
#include "publishing/PublishSettings.h"

#include <QtTest>

class PublishSettingsTest : public QObject
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
        PublishSettings::writeRecordToAppSettings(record, settings);
        settings.saveSettings();
        QCOMPARE(PublishSettings::recordFromAppSettings(AppSettings()), record);

        // A record that leaves the desktop book fields unset keeps the settings' values.
        ConvertParament unset = record;
        unset.setStrAppVersion(QString());
        unset.setStrAppIdentifier(QString());
        unset.setStrWindowSize(QString());
        unset.setStrExeSize(QString());
        unset.setIAppWindowHide(0);
        PublishSettings::writeRecordToAppSettings(unset, settings);
        QCOMPARE(PublishSettings::recordFromAppSettings(settings), record);
    }
};

QV_TEST(PublishSettingsTest)
#include "tst_publishsettings.moc"
