#include "TestSupport.h"
#include "project/AppSettings.h"
#include "project/PreferencesSettings.h"
#include "foundation/SettingsStore.h"

#include <QDir>
#include <QtTest>

class AppSettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        auto store = SettingsStore::open();
        store->clear();
        store->sync();
    }

    void defaultsWhenNothingIsStored()
    {
        AppSettings settings;
        QCOMPARE(settings.lastOutputFileTitle(), QStringLiteral("Demo"));
        QCOMPARE(settings.lastOutputFileName(), QStringLiteral("Zendarrow"));
        QCOMPARE(settings.lastOutputFileFolder(), TestSupport::isolatedHome() + "/Documents/Zendarrow/");
        QCOMPARE(settings.lastOutputAddScript(),
                 QStringLiteral("<script type=text/javascript>\n//put your javascript code below\n\n</script>"));
        QCOMPARE(settings.appVersion(), QStringLiteral("1.0"));
        QCOMPARE(settings.appIdentifier(), defaultIdentifierName);
        QCOMPARE(settings.strExeSize(), QStringLiteral("MAX"));
        QCOMPARE(settings.strWindowSize(), QString());
        QCOMPARE(settings.appIconFile(), QString());
        QCOMPARE(settings.iAppWindowHide(), 1);
        QCOMPARE(settings.isAdvancedModify(), 0);
        QCOMPARE(settings.isWindowRollUp(), 0);
    }

    void emptyOrDamagedValuesFallBack()
    {
        {
            auto store = SettingsStore::open();
            store->setValue("lastOutputFileTitle", "");
            store->setValue("lastOutputFileName", "");
            store->setValue("lastOutputFileFolder", "");
            store->setValue("lastOutputAddScript", ""); // the user removed the script on purpose
            store->setValue("iAppWindowHide", 0);
            store->setValue("loadType", "three");
            store->setValue("compressToZip", "maybe");
            store->setValue("importQualityLevel", 9);
            store->sync();
        }
        AppSettings settings;
        QCOMPARE(settings.lastOutputFileTitle(), QStringLiteral("Demo"));
        QCOMPARE(settings.lastOutputFileName(), QStringLiteral("Zendarrow"));
        QVERIFY(settings.lastOutputFileFolder().endsWith("/Documents/Zendarrow/"));
        QCOMPARE(settings.lastOutputAddScript(), QString());
        QCOMPARE(settings.iAppWindowHide(), 1);
        QCOMPARE(settings.loadType(), 0);
        QCOMPARE(settings.compressToZip(), false);
        QCOMPARE(settings.importQualityLevel(), 2);

        settings.setIAppWindowHide(-3);
        QCOMPARE(settings.iAppWindowHide(), 1);
        settings.setLastOutputFileTitle(QString());
        QCOMPARE(settings.lastOutputFileTitle(), QStringLiteral("Demo"));
    }

    void valuesSurviveSaveAndReread()
    {
        const QString script = QStringLiteral("<script>\nvar a = \"x=1\"; // Grüße \\n\n</script>");
        {
            AppSettings settings;
            settings.setOutputType(3);
            settings.setLastOutputFileFolder(QStringLiteral("/tmp/Bücher/out"));
            settings.setLastOutputFileName(QStringLiteral("Katalog 2024"));
            settings.setLastOutputFileTitle(QStringLiteral("カタログ"));
            settings.setLastOutputKeyWords(QStringLiteral("a, b; c=d"));
            settings.setLastOutputAddScript(script);
            settings.setLoadType(2);
            settings.setCompressToZip(true);
            settings.setConvertBasicHtml(true);
            settings.setAppIdentifier(QStringLiteral("org.example.book"));
            settings.setStrWindowSize(QStringLiteral("CUSTOM:800,600"));
            settings.setIAppWindowHide(2);
            settings.setIsWindowRollUp(5);
            settings.saveSettings();
        }
        AppSettings reread;
        QCOMPARE(reread.outputType(), 3);
        QCOMPARE(reread.lastOutputFileFolder(), QStringLiteral("/tmp/Bücher/out"));
        QCOMPARE(reread.lastOutputFileName(), QStringLiteral("Katalog 2024"));
        QCOMPARE(reread.lastOutputFileTitle(), QStringLiteral("カタログ"));
        QCOMPARE(reread.lastOutputKeyWords(), QStringLiteral("a, b; c=d"));
        QCOMPARE(reread.lastOutputAddScript(), script);
        QCOMPARE(reread.loadType(), 2);
        QCOMPARE(reread.compressToZip(), true);
        QCOMPARE(reread.convertBasicHtml(), true);
        QCOMPARE(reread.appIdentifier(), QStringLiteral("org.example.book"));
        QCOMPARE(reread.strWindowSize(), QStringLiteral("CUSTOM:800,600"));
        QCOMPARE(reread.iAppWindowHide(), 2);
        QCOMPARE(reread.isWindowRollUp(), 5);
        QCOMPARE(reread.strExeSize(), QStringLiteral("MAX")); // never set: still the default
    }

    void qualityResolutionsLiveUnderTheSharedKeys()
    {
        PreferencesSettings prefs;
        QCOMPARE(prefs.imageDPILevel(0), 216);
        QCOMPARE(prefs.imageDPILevel(1), 144);
        QCOMPARE(prefs.imageDPILevel(2), 120);

        QVERIFY(prefs.setImageDPILevel(1, 300));
        QVERIFY(!prefs.setImageDPILevel(1, 0));
        QVERIFY(!prefs.setImageDPILevel(3, 300));
        prefs.saveSettings();
        // The image helpers read the store directly.
        QCOMPARE(SettingsStore::open()->value("ImageDPILevel1").toInt(), 300);

        SettingsStore::open()->setValue("ImageDPILevel2", "dense");
        PreferencesSettings reread;
        QCOMPARE(reread.imageDPILevel(1), 300);
        QCOMPARE(reread.imageDPILevel(2), 120);
    }
};

QV_TEST(AppSettingsTest)
#include "tst_appsettings.moc"
