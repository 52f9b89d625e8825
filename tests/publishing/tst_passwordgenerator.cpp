#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/PropertyList.h"
#include "publishing/PasswordGenerator.h"
#include "publishing/PasswordGeneratorSettings.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>

namespace {

// How many characters of text belong to each class: upper, lower, digits, symbols.
QList<int> classCounts(const QString &text)
{
    QList<int> counts{0, 0, 0, 0};
    for (QChar c : text) {
        if (PasswordGenerator::upperCaseLetters().contains(c))
            ++counts[0];
        else if (PasswordGenerator::lowerCaseLetters().contains(c))
            ++counts[1];
        else if (PasswordGenerator::digits().contains(c))
            ++counts[2];
        else if (PasswordGenerator::symbols().contains(c))
            ++counts[3];
    }
    return counts;
}

} // namespace

class PasswordGeneratorTest : public QObject
{
    Q_OBJECT
private slots:
    void classesFillTheTableInProportion()
    {
        // Upper case and symbols, every symbol left out: the letters fill the password.
        PasswordGenerator generator;
        generator.setType(PasswordGenerator::UpperCase | PasswordGenerator::Symbols);
        generator.setDisableChars(PasswordGenerator::symbols());
        generator.setLength(200);
        generator.startGenerate();
        QCOMPARE(classCounts(generator.result()), (QList<int>{200, 0, 0, 0}));

        // Excluded symbols never appear.
        generator.setType(PasswordGenerator::Symbols);
        generator.setDisableChars(PasswordGenerator::symbols().mid(1));
        generator.startGenerate();
        QCOMPARE(generator.result(), QString(200, PasswordGenerator::symbols().at(0)));
    }

    void settingsOutOfRangeAreBroughtIn()
    {
        PasswordGenerator generator;
        generator.setType(0);
        generator.setLength(0);
        generator.startGenerate();
        QCOMPARE(generator.result().size(), 1);
        QCOMPARE(PasswordGenerator::generatePasswordWithType(15, 5000).size(), 1024);
    }

    void settingsThatGiveNoCharacterEndWithAnEmptyPassword()
    {
        // Only symbols, all excluded.
        PasswordGenerator generator;
        generator.setType(PasswordGenerator::Symbols);
        generator.setDisableChars(PasswordGenerator::symbols());
        generator.startGenerate();
        QCOMPARE(generator.result(), QString());

        // A type naming no class, and weights that give nothing: the fill ends.
        QCOMPARE(PasswordGenerator::generatePasswordWithType(16, 10), QString());
        PasswordGenerator zero;
        for (auto set : {&PasswordGenerator::setUpperCasePercent, &PasswordGenerator::setLowerCasePercent,
                         &PasswordGenerator::setDigitsPercent, &PasswordGenerator::setSymbolsPercent})
            (zero.*set)(0);
        zero.startGenerate();
        QCOMPARE(zero.result(), QString());

        // Odd weights that leave the table short still make passwords of its characters.
        PasswordGenerator odd;
        odd.setType(PasswordGenerator::Digits | PasswordGenerator::LowerCase);
        odd.setLowerCasePercent(-100);
        odd.setDigitsPercent(300);
        odd.setLength(40);
        odd.startGenerate();
        QCOMPARE(classCounts(odd.result()), (QList<int>{0, 0, 40, 0}));
    }

    void passwordsComeFromTheSystemsRandomSource()
    {
        // Seeding the C library's generator alike must not repeat a password.
        std::srand(7);
        const QString first = PasswordGenerator::generatePasswordWithType(15, 24);
        std::srand(7);
        const QString second = PasswordGenerator::generatePasswordWithType(15, 24);
        QCOMPARE(first.size(), 24);
        QVERIFY(first != second);
    }

    void settingsFileFallsBackKeyByKey()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sp.pgSettings");

        // Saved values come back.
        auto generator = PasswordGeneratorSettings::load(path);
        generator->setType(5);
        generator->setLength(14);
        generator->setDisableChars("#%");
        QVERIFY(PasswordGeneratorSettings::save(*generator, path));
        generator = PasswordGeneratorSettings::load(path);
        QCOMPARE(generator->type(), quint64(5));
        QCOMPARE(generator->length(), quint64(14));
        QCOMPARE(generator->disableChars(), QStringLiteral("#%"));

        // Unusable keys read their defaults, usable ones are kept: a type naming no
        // class and no length give a password of the default length...
        QVERIFY(PropertyList::writeFile(path, QVariantMap{{"type", 48}, {"length", 0}, {"excludeSymbols", "!"}}));
        generator = PasswordGeneratorSettings::load(path);
        generator->startGenerate();
        QCOMPARE(generator->result().size(), qsizetype(PasswordGeneratorSettings::kDefaultLength));
        // ...and a type written as text the default classes (all of them), with the
        // stored length and left-out symbols.
        QString excluded = PasswordGenerator::symbols();
        excluded.remove(QLatin1Char('!'));
        QVERIFY(PropertyList::writeFile(path, QVariantMap{{"type", "3"}, {"length", 300}, {"excludeSymbols", excluded}}));
        generator = PasswordGeneratorSettings::load(path);
        generator->startGenerate();
        const QList<int> counts = classCounts(generator->result());
        QCOMPARE(generator->result().size(), 300);
        QVERIFY2(!counts.contains(0), qPrintable(generator->result()));
        QCOMPARE(counts.at(3), int(generator->result().count(QLatin1Char('!'))));

        // A damaged file: every key its default, never one-character passwords.
        QVERIFY(TestFiles::writeFile(path, "<plist><dict><key>length"));
        generator = PasswordGeneratorSettings::load(path);
        QCOMPARE(generator->length(), quint64(10));
        generator->startGenerate();
        QCOMPARE(generator->result().size(), 10);
    }
};

QV_TEST(PasswordGeneratorTest)
#include "tst_passwordgenerator.moc"
