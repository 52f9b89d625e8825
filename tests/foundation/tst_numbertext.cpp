#include "TestSupport.h"
#include "foundation/AuxArgumentString.h"
#include "foundation/NumberText.h"
#include "foundation/PropertyList.h"
#include "furnishings/BookMarkTabs.h"

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>
#include <cstdio>

class NumberTextTest : public QObject
{
    Q_OBJECT
private slots:
    void readsLeadingIntegers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "42" << 42;
        QTest::newRow("blanks and sign") << " \t\n -17xyz" << -17;
        QTest::newRow("plus") << "+8" << 8;
        QTest::newRow("decimal cut") << "3.99" << 3;
        QTest::newRow("no digits") << "abc" << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("max") << "2147483647" << INT_MAX;
        QTest::newRow("above max") << "2147483648" << INT_MAX;
        QTest::newRow("far above max") << "99999999999999999999999" << INT_MAX;
        QTest::newRow("min") << "-2147483648" << INT_MIN;
        QTest::newRow("below min") << "-2147483649" << INT_MIN;
        QTest::newRow("far below min") << "-99999999999999999999" << INT_MIN;
    }

    void readsLeadingIntegers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(NumberText::intValue(text), value);
    }

    void readsOtherNumbersAndBooleans()
    {
        QCOMPARE(NumberText::longLongValue(u"9223372036854775808"), LLONG_MAX);
        QCOMPARE(NumberText::longLongValue(u"-9223372036854775809"), LLONG_MIN);
        QCOMPARE(NumberText::doubleValue(u"  -1.5e3px"), -1500.0);
        QCOMPARE(NumberText::doubleValue(u".25"), 0.25);
        QCOMPARE(NumberText::doubleValue(u"2e"), 2.0);
        QCOMPARE(NumberText::doubleValue(u"1,5"), 1.0);
        QCOMPARE(NumberText::doubleValue(u"."), 0.0);
        QCOMPARE(NumberText::doubleValue(u"nan"), 0.0);
        QCOMPARE(NumberText::floatValue(u"0.5"), 0.5f);
        for (const char *yes : {"YES", "yes", "true", "T", "1", "-1", "007", " +9"})
            QVERIFY2(NumberText::boolValue(QString::fromLatin1(yes)), yes);
        for (const char *no : {"NO", "false", "0", "000", "", " ", "0.5", "-0", "x1"})
            QVERIFY2(!NumberText::boolValue(QString::fromLatin1(no)), no);
    }

    // The user's locale must never reach text the program writes. The checks run in a
    // child run of this program whose system locale really is German (made with
    // localedef when the system has none), as a user's would be.
    void germanLocaleNeverGivesDecimalComma()
    {
        QTemporaryDir locales;
        if (QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", locales.filePath("de_DE.UTF-8")}) != 0)
            QSKIP("localedef cannot make a German locale here (Debian package \"locales\")");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LOCPATH", locales.path());
        env.insert("LANG", "de_DE.UTF-8");
        env.insert("LC_ALL", "de_DE.UTF-8");
        env.insert("QUORVEL_GERMAN_RUN", "1");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"NumberTextTest", "writtenInTheGermanSystemLocale"});
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAll());
        QVERIFY2(child.exitCode() == 0 && output.contains("PASS   : NumberTextTest::writtenInTheGermanSystemLocale()"),
                 qPrintable(output));
    }

    // Run only by germanLocaleNeverGivesDecimalComma, in a German child run.
    void writtenInTheGermanSystemLocale()
    {
        if (qEnvironmentVariableIsEmpty("QUORVEL_GERMAN_RUN"))
            QSKIP("runs inside germanLocaleNeverGivesDecimalComma");
        // The run is German through and through: Qt's system locale and the C library.
        QCOMPARE(QLocale::system().decimalPoint(), QString(","));
        char printed[16];
        std::snprintf(printed, sizeof printed, "%.1f", 1.5);
        QCOMPARE(QByteArray(printed), QByteArray("1,5"));
        const QLocale previous;
        QLocale::setDefault(QLocale::system());
        const auto restore = qScopeGuard([&] { QLocale::setDefault(previous); });
        QCOMPARE(QLocale().toString(1.5), QString("1,5"));

        QCOMPARE(NumberText::fixed(1234.5, 2), QString("1234.50"));
        QCOMPARE(NumberText::shortest(0.1), QString("0.1"));
        QCOMPARE(NumberText::format("%0.2f|%d|%g", 3.14159, 1000000, 2.5), QString("3.14|1000000|2.5"));
        QCOMPARE(NumberText::doubleValue(u"2.25"), 2.25);
        // Property lists read and write reals with a point, too.
        const QByteArray xml = PropertyList::toXml(QVariantMap{{"scale", 2.25}}).value_or(QByteArray());
        QVERIFY(xml.contains("<real>2.25</real>"));
        QCOMPARE(PropertyList::fromData(xml).value_or(QVariant()).toMap().value("scale").toDouble(), 2.25);
        // So does a written tab file: its alpha, and the same value read back.
        QTemporaryDir folder;
        BookMarkTabs tabs;
        tabs.setAlpha(0.5);
        QVERIFY(tabs.saveToFile(folder.filePath("tabs.xml")));
        QFile written(folder.filePath("tabs.xml"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        QVERIFY2(text.contains("alpha=\"0.50\""), text.constData());
        BookMarkTabs read;
        QVERIFY(read.loadFromFile(folder.filePath("tabs.xml")));
        QCOMPARE(read.alpha(), 0.5);
    }

    void auxArgumentsSurviveSeparatorsInValues()
    {
        AuxArgumentString args{{"in", "/tmp/a=b|c.pdf"}, {"page", "3"}};
        args.append("title", "x=1|y=2");
        args.set("page", "4");
        const QString text = args.toString();
        QCOMPARE(text, QString("in=/tmp/a:3D:b:7C:c.pdf|page=4|title=x:3D:1:7C:y:3D:2"));
        const AuxArgumentString back = AuxArgumentString::parse(text);
        QCOMPARE(back.items(), args.items());
        QCOMPARE(back.value("title"), QString("x=1|y=2"));
        QCOMPARE(AuxArgumentString::parse("a=1||flag|b=x=y").items(),
                 (QList<AuxArgumentString::Item>{{"a", "1"}, {"flag", ""}, {"b", "x=y"}}));
    }
};

QV_TEST(NumberTextTest)
#include "tst_numbertext.moc"
