#include "TestSupport.h"
#include "foundation/PropertyList.h"
#include "publishing/PluginSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class PluginSettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void loadingKeepsTheFileAndSuppliesMissingUnits()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(".pluginSettings.plist");
        QVERIFY(PropertyList::writeFile(path, QVariantMap{{"jID", 7}, {"type", "2"}, {"unitH", "px"}}));
        PluginSettings settings(path);
        settings.loadDictionaryFromFile();
        QCOMPARE(settings.text("jID"), QStringLiteral("7"));
        QCOMPARE(settings.text("type"), QStringLiteral("2")); // the package dialog's key stays
        QCOMPARE(settings.text("unitW"), QStringLiteral("%"));
        QCOMPARE(settings.text("unitH"), QStringLiteral("px"));
        QVERIFY(!settings.isChangedSinceLoad());
        settings.setText("width", "50");
        QVERIFY(settings.isChangedSinceLoad());

        // Not a dictionary: only the two units remain, and the file is left alone.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("no property list at all");
        file.close();
        settings.loadDictionaryFromFile();
        QCOMPARE(settings.settingsDict(), (QVariantMap{{"unitW", "%"}, {"unitH", "%"}}));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("no property list at all"));
    }

    void publishAdvancesTheModuleIdOfItsSystemOnly()
    {
        PluginSettings settings(QStringLiteral("/nonexistent/p.plist"));
        settings.settingsDict() = PluginSettings::defaultValues();
        settings.setText("dID", "12b"); // an id typed as text reads by its leading number
        settings.advanceModuleId(OutputKind::Drupal);
        settings.advanceModuleId(OutputKind::WordPress);
        QCOMPARE(settings.settingsDict().value("dID"), QVariant(qint64(13)));
        QCOMPARE(settings.settingsDict().value("jID"), QVariant("1"));
        QVERIFY(!settings.saveAndRecordDigest()); // a failed write keeps the values
        QCOMPARE(settings.text("dID"), QStringLiteral("13"));
    }

    void versionTexts_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("handed");
        QTest::newRow("joomla 2.5 and later") << "j" << "2.5 and later" << "2.5";
        QTest::newRow("joomla 3") << "j" << "3" << "3.0";
        QTest::newRow("joomla empty") << "j" << "" << "1.5";
        QTest::newRow("drupal 5") << "d" << "5" << "6";
        QTest::newRow("drupal 8") << "d" << "8" << "8";
        QTest::newRow("drupal 10.1") << "d" << "10.1" << "10";
    }

    void versionTexts()
    {
        QFETCH(QString, system);
        QFETCH(QString, typed);
        QFETCH(QString, handed);
        QCOMPARE(system == "j" ? PluginSettings::joomlaVersionText(typed) : PluginSettings::drupalVersionText(typed),
                 handed);
    }

    void digestDependsOnValuesInKeyOrderOnly()
    {
        QVariantMap first;
        first.insert("width", "100");
        first.insert("dID", 3);
        first.insert("name", "x");
        QVariantMap second;
        second.insert("name", "x");
        second.insert("dID", "3"); // the text form of the integer
        second.insert("width", "100");
        QCOMPARE(PluginSettings::settingsValueMD5(first), PluginSettings::settingsValueMD5(second));
        // Values that join to the same text are still told apart.
        const QVariantMap wide{{"height", "10"}, {"width", "0"}};
        const QVariantMap tall{{"height", "1"}, {"width", "00"}};
        QVERIFY(PluginSettings::settingsValueMD5(wide) != PluginSettings::settingsValueMD5(tall));
        QVERIFY(PluginSettings::settingsValueMD5({{"width", "1"}}) != PluginSettings::settingsValueMD5({{"height", "1"}}));
    }
};

QV_TEST(PluginSettingsTest)
#include "tst_pluginsettings.moc"
