#include "TestSupport.h"
#include "shell/LanguageSettlement.h"

#include <QtTest>

class LanguageSettlementTest : public QObject
{
    Q_OBJECT
private slots:
    void argumentWinsOverEverything()
    {
        const QStringList args = {QStringLiteral("--demo"), QStringLiteral("-AppleLanguages"), QStringLiteral("(de)")};
        for (bool relaunched : {false, true}) {
            const LanguageDecision d = LanguageSettlement::decide(args, QStringLiteral("fr"), QStringLiteral("en"), relaunched);
            QCOMPARE(d.code, QStringLiteral("de"));
            QVERIFY(!d.relaunch);
            QVERIFY(!d.save);
        }
        QCOMPARE(LanguageSettlement::argumentLanguage({QStringLiteral("-AppleLanguages"), QStringLiteral("( zh-Hans )")}),
                 QStringLiteral("zh-Hans"));
        QCOMPARE(LanguageSettlement::argumentLanguage({QStringLiteral("-AppleLanguages"), QStringLiteral("(\"pt-BR\")")}),
                 QStringLiteral("pt-BR"));
        // A value without parentheses, or none at all, is no language choice.
        QVERIFY(LanguageSettlement::argumentLanguage({QStringLiteral("-AppleLanguages"), QStringLiteral("de")}).isEmpty());
        QVERIFY(LanguageSettlement::argumentLanguage({QStringLiteral("-AppleLanguages")}).isEmpty());
        QVERIFY(LanguageSettlement::argumentLanguage({QStringLiteral("-AppleLanguages"), QStringLiteral("()")}).isEmpty());
    }

    void savedAndSystemDecideTheRelaunch_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("relaunch");
        QTest::addColumn<QString>("code");
        QTest::newRow("same") << "de" << "de" << false << "de";
        QTest::newRow("nothing saved") << "" << "fr" << true << "fr";
        // The user's choice stays: the run is made again in the saved language.
        QTest::newRow("differ") << "de" << "en" << true << "de";
    }

    void savedAndSystemDecideTheRelaunch()
    {
        QFETCH(QString, saved);
        QFETCH(QString, system);
        QFETCH(bool, relaunch);
        QFETCH(QString, code);
        const QStringList args = {QStringLiteral("/books/a b.pdf")};
        const LanguageDecision d = LanguageSettlement::decide(args, saved, system, false);
        QCOMPARE(d.code, code);
        QCOMPARE(d.relaunch, relaunch);
        QCOMPARE(d.save, relaunch);
        if (relaunch)
            QCOMPARE(d.relaunchArguments,
                     (QStringList{QStringLiteral("/books/a b.pdf"), QStringLiteral("-AppleLanguages"), "(" + code + ")"}));
    }

    void aRelaunchedRunNeverRelaunchesAgain()
    {
        // The settings could not be written: the run started again must not loop.
        const LanguageDecision d = LanguageSettlement::decide({}, QString(), QStringLiteral("fr"), true);
        QVERIFY(!d.relaunch);
        QCOMPARE(d.code, QStringLiteral("fr"));
    }

    void anOldLanguageArgumentIsReplacedOnRelaunch()
    {
        const QStringList args = {QStringLiteral("-AppleLanguages"), QStringLiteral("nonsense"), QStringLiteral("--demo")};
        const LanguageDecision d = LanguageSettlement::decide(args, QStringLiteral("es"), QStringLiteral("en"), false);
        QVERIFY(d.relaunch);
        QCOMPARE(d.relaunchArguments,
                 (QStringList{QStringLiteral("--demo"), QStringLiteral("-AppleLanguages"), QStringLiteral("(es)")}));
    }

    void systemCodeCarriesTheScriptOnlyWhereItMatters()
    {
        QCOMPARE(LanguageSettlement::systemLanguageCode(QLocale(QStringLiteral("de_DE"))), QStringLiteral("de"));
        QCOMPARE(LanguageSettlement::systemLanguageCode(QLocale(QStringLiteral("en_US"))), QStringLiteral("en"));
        QCOMPARE(LanguageSettlement::systemLanguageCode(QLocale(QStringLiteral("zh_CN"))), QStringLiteral("zh-Hans"));
        QCOMPARE(LanguageSettlement::systemLanguageCode(QLocale(QStringLiteral("zh_TW"))), QStringLiteral("zh-Hant"));
        QCOMPARE(LanguageSettlement::systemLanguageCode(QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia)),
                 QStringLiteral("sr-Latn"));
        QCOMPARE(LanguageSettlement::systemLanguageCode(QLocale::c()), QStringLiteral("en"));
    }
};

QV_TEST(LanguageSettlementTest)
#include "tst_languagesettlement.moc"
