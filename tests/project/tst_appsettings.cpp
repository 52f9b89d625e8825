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
        // Empty names fall back to usable ones; a script the user removed stays removed.
        AppSettings settings;
        QVERIFY(!settings.lastOutputFileTitle().isEmpty());
        QVERIFY(!settings.lastOutputFileName().isEmpty());
        QVERIFY(!settings.lastOutputFileFolder().isEmpty());
        QCOMPARE(settings.lastOutputAddScript(), QString());
        QCOMPARE(settings.iAppWindowHide(), 1);
        QCOMPARE(settings.loadType(), 0);
        QCOMPARE(settings.compressToZip(), false);
        QCOMPARE(settings.importQualityLevel(), 2);

        settings.setIAppWindowHide(-3);
        QCOMPARE(settings.iAppWindowHide(), 1);
        settings.setLastOutputFileTitle(QString());
        QVERIFY(!settings.lastOutputFileTitle().isEmpty());
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
    }

    void qualityResolutionsLiveUnderTheSharedKeys()
    {
        PreferencesSettings prefs;
        const int level2 = prefs.imageDPILevel(2);
        QVERIFY(prefs.setImageDPILevel(1, 300));
        QVERIFY(!prefs.setImageDPILevel(1, 0));
        QVERIFY(!prefs.setImageDPILevel(3, 300));
        prefs.saveSettings();
        // The image helpers read the store directly.
        QCOMPARE(SettingsStore::open()->value("ImageDPILevel1").toInt(), 300);

        SettingsStore::open()->setValue("ImageDPILevel2", "dense");
        PreferencesSettings reread;
        QCOMPARE(reread.imageDPILevel(1), 300);
        QCOMPARE(reread.imageDPILevel(2), level2); // not a number: the default stays
    }
};

QV_TEST(AppSettingsTest)
#include "tst_appsettings.moc"
