#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppStrings.h"
#include "foundation/LanguageTables.h"
#include "foundation/SourceStringScanner.h"
#include "foundation/StringsTable.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void writeTable(const QString &root, const QString &language, const QString &table, const QByteArray &text)
{
    TestFiles::writeFile(root + "/" + language + ".lproj/" + table + ".strings", text);
}
} // namespace

class LanguageTablesTest : public QObject
{
    Q_OBJECT
private slots:
    void stringsFormat()
    {
        QStringList errors;
        const StringsTable table = StringsTable::parse(
            "\xEF\xBB\xBF/* header; with \"quotes\" */\n"
            "\"plain\" = \"Plain text\";\n"
            "// a line comment = \"no\";\n"
            "\"escapes\" = \"say \\\"hi\\\"\\n\\tback\\\\slash \\U00e9 \\ud83d\\ude00\";\n"
            "bare.key_1 = \"bare\";\n"
            "\"broken\" \"missing equals\";\n"
            "\"semicolon; inside\" = \"a;b\";\n"
            "\"twice\" = \"first\"; \"twice\" = \"second\";\n"
            "\"unterminated\" = \"runs to the end;\n",
            &errors);
        QCOMPARE(table.value("plain"), QString("Plain text"));
        QCOMPARE(table.value("escapes"), QString::fromUtf8("say \"hi\"\n\tback\\slash \u00e9 \U0001F600"));
        QCOMPARE(table.value("bare.key_1"), QString("bare"));
        QCOMPARE(table.value("semicolon; inside"), QString("a;b"));
        QCOMPARE(table.value("twice"), QString("second"));
        QVERIFY(!table.contains("broken"));
        QVERIFY(!table.contains("unterminated"));
        QCOMPARE(errors.size(), 2);

        // What serialize() writes reads back the same, also in UTF-16 files.
        StringsTable awkward;
        awkward.insert("k\"ey", "line\none\r\t\\ \x01 */ end");
        awkward.insert(QString::fromUtf8("日本"), QString::fromUtf8("語"));
        const StringsTable again = StringsTable::parse(awkward.serialize("made by */ test"), &errors);
        QCOMPARE(again.entries(), awkward.entries());
        const QString utf16Text = QString::fromUtf8(awkward.serialize());
        QByteArray utf16("\xFF\xFE");
        utf16.append(reinterpret_cast<const char *>(utf16Text.utf16()), utf16Text.size() * 2);
        QCOMPARE(StringsTable::parse(utf16).entries(), awkward.entries());
    }

    void lookupFallsBackPerLanguage()
    {
        QTemporaryDir root;
        writeTable(root.path(), "en", "QuorvelLocale", "\"Dlg-Save\" = \"Save\";\n");
        writeTable(root.path(), "en", "InfoPlist", "\"$APP_NAME$\" = \"Quorvel\";\n");
        writeTable(root.path(), "de", "QuorvelLocale",
                   "\"Dlg-Save\" = \"Sichern\";\n\"Dlg-Same\" = \"Dlg-Same\";\n\"Dlg-Empty\" = \"\";\n");
        writeTable(root.path(), "de", "InfoPlist", "\"$OnlineServerName$\" = \"Quorvel Online DE\";\n");
        writeTable(root.path(), "zh-Hans", "QuorvelLocale", "\"Dlg-Save\" = \"保存\";\n");
        LanguageTables tables(root.path());

        QCOMPARE(tables.localizedString("de", "Dlg-Save", "Save"), QString("Sichern"));
        QCOMPARE(tables.localizedString("de", "Dlg-Open", "Open"), QString("Open"));        // missing
        QCOMPARE(tables.localizedString("de", "Dlg-Same", "Same"), QString("Same"));        // equal to key
        QCOMPARE(tables.localizedString("de", "Dlg-Empty", "Empty"), QString(""));          // deliberately empty
        QCOMPARE(tables.localizedString("de_AT", "Dlg-Save", "Save"), QString("Sichern"));  // base language
        QCOMPARE(tables.localizedString("de-DE", "Dlg-Save", "Save"), QString("Sichern"));
        QCOMPARE(tables.localizedString("zh_Hans", "Dlg-Save", "Save"), QString::fromUtf8("保存"));
        QCOMPARE(tables.localizedString("fr", "Dlg-Save", "Save"), QString("Save"));        // no such language
        QCOMPARE(tables.localizedString("../de", "Dlg-Save", "Save"), QString("Save"));

        // "$...$" keys come from InfoPlist; without a default English stands in.
        QCOMPARE(tables.localizedString("de", "$OnlineServerName$", "x"), QString("Quorvel Online DE"));
        QCOMPARE(tables.localizedString("de", "$APP_NAME$", QString()), QString("Quorvel"));
        QCOMPARE(tables.localizedString("de", "$APP_NAME$", "Fallback"), QString("Fallback"));
        QCOMPARE(tables.localizedString("de", "Dlg-Open", QString()), QString("Dlg-Open"));
        QCOMPARE(tables.availableLanguages(), (QStringList{"de", "en", "zh-Hans"}));
    }

    void applicationLanguage()
    {
        // The shipped English tables, through the program's own lookup.
        setCurrentLanguageCode("en");
        QCOMPARE(loadAppString("$APP_NAME$"), QString("Quorvel"));
        QCOMPARE(loadAppString("NoSuchClass-some text", "some text"), QString("some text"));
        setCurrentLanguageCode("xx"); // no tables: defaults, English where there is none
        QCOMPARE(loadAppString("$APP_NAME$"), QString("Quorvel"));
        QCOMPARE(loadAppString("Dlg-x", "x"), QString("x"));

        // The chosen language is kept for the next start.
        saveDefaultLanguageCode("de");
        QCOMPARE(defaultLanguageCode(), QString("de"));
        saveDefaultLanguageCode(QString());
    }

    void scannerFindsLiteralCalls()
    {
        const QString source = TestFiles::readText(TestSupport::sourceDataPath("strings/calls.cpp.txt"));
        QVERIFY(!source.isEmpty());
        const QList<SourceString> found = SourceStringScanner::scanText(source, "x.cpp");
        QStringList got;
        for (const SourceString &s : found)
            got << s.key + "=" + s.text;
        QCOMPARE(got, (QStringList{"Dlg-Open=Open", QString::fromUtf8("Dlg-Save as=Save as…"),
                                   "Dlg-Quote=say \"hi\"\n", "English only=English only",
                                   "Dlg-Raw=Raw \\d", "Dlg-After char=ok"}));
        QCOMPARE(found[1].line, 3);

        QStringList conflicts;
        const StringsTable table = SourceStringScanner::tableFromCalls(
            SourceStringScanner::scanText("loadAppString(\"K\", \"one\"); loadAppString(\"K\", \"two\");\n"
                                          "loadAppString(\"K\", \"one\");", "y.cpp"),
            &conflicts);
        QCOMPARE(table.value("K"), QString("one"));
        QCOMPARE(conflicts.size(), 1);
    }

    // Fails when someone added UI texts without running scripts/update-strings.sh,
    // or when a shipped table no longer parses.
    void shippedTablesAreCompleteAndValid()
    {
        const QString sourceRoot = QStringLiteral(QUORVEL_SOURCE_DIR);
        QStringList conflicts;
        const StringsTable wanted = SourceStringScanner::tableFromCalls(
            SourceStringScanner::scanFolder(sourceRoot + "/src"), &conflicts);
        QVERIFY2(conflicts.isEmpty(), qPrintable("keys used with two texts:\n" + conflicts.join('\n')));

        QStringList errors;
        bool exists = false;
        const StringsTable english = StringsTable::fromFile(
            sourceRoot + "/resources/en.lproj/QuorvelLocale.strings", &exists, &errors);
        QVERIFY(exists);
        QStringList outOfDate;
        for (auto it = wanted.entries().cbegin(); it != wanted.entries().cend(); ++it) {
            if (!english.contains(it.key()))
                outOfDate << "missing: " + it.key();
            else if (english.value(it.key()) != it.value())
                outOfDate << "different text: " + it.key();
        }
        QVERIFY2(outOfDate.isEmpty(),
                 qPrintable("run scripts/update-strings.sh; the English table is out of date:\n"
                            + outOfDate.join('\n')));

        QDirIterator it(sourceRoot + "/resources", {"*.strings"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            StringsTable::fromFile(path, nullptr, &errors);
            QVERIFY2(errors.isEmpty(), qPrintable(path + ": " + errors.join("; ")));
        }
    }
};

QV_TEST(LanguageTablesTest)
#include "tst_languagetables.moc"
