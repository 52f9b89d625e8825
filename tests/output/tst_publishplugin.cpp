#include "TestFiles.h"
#include "TestSupport.h"
#include "PackageChecks.h"
#include "PackageTestData.h"
#include "foundation/ZipExtractor.h"
#include "online/UploadBookDelegate.h"
#include "output/packages/PublishPlugin.h"

#include <QDomDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace PackageChecks;
using namespace PackageTestData;
using namespace TestFiles;

namespace {

const QString kHostileTitle = QStringLiteral("Bob's \"Book\" </iframe><script>alert(1)</script> ?> */ \\");

// The contents of every PHP single-quoted literal of a source text, unescaped.
QStringList phpLiterals(const QString &php)
{
    QStringList literals;
    static const QRegularExpression literal(QStringLiteral("'((?:[^'\\\\]|\\\\.)*)'"));
    auto it = literal.globalMatch(php);
    while (it.hasNext()) {
        QString text = it.next().captured(1);
        text.replace(QStringLiteral("\\'"), QStringLiteral("'")).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        literals << text;
    }
    return literals;
}

// A PHP file with its comments and string literals removed: what is left is code and
// HTML we wrote, where no part of a title may appear unescaped.
QString withoutCommentsAndLiterals(const QString &php)
{
    QString code = php;
    code.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    code.remove(QRegularExpression(QStringLiteral("'(?:[^'\\\\]|\\\\.)*'")));
    return code;
}


QString htmlDecoded(QString text)
{
    text.replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&#039;"), QLatin1String("'"))
        .replace(QLatin1String("&#39;"), QLatin1String("'"))
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"));
    return text.replace(QLatin1String("&amp;"), QLatin1String("&"));
}

// Checks the block a package printed: its style rules, then a block of the given class
// around a box whose style holds size, and in it the book's frame with the title as the
// exact text of its attribute and nothing of it outside.
void verifyBlock(const QString &html, const QString &className, const QString &src, const QString &size)
{
    static const QRegularExpression block(QStringLiteral(
        "^<style>[^<>]*</style><div class=\"([^\"<>]*)\" style=\"[^\"<>]*\"><div style=\"[^\"<>]*\">"
        "<div class=\"quorvel-book-frame[^\"<>]*\" style=\"([^\"<>]*)\"><iframe src=\"([^\"<>]*)\" "
        "style=\"[^\"<>]*\" title=\"([^\"<>]*)\" allowfullscreen></iframe></div></div></div>$"));
    const QRegularExpressionMatch match = block.match(html.trimmed());
    QVERIFY2(match.hasMatch(), qPrintable(html));
    QCOMPARE(match.captured(1), className);
    QVERIFY2(match.captured(2).contains(size), qPrintable(match.captured(2)));
    QCOMPARE(htmlDecoded(match.captured(3)), src);
    QCOMPARE(htmlDecoded(match.captured(4)), kHostileTitle);
}

} // namespace

class PublishPluginTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_book;

    // Writes a package of kind and unpacks it; returns the unpacked folder.
    QString publish(const QString &kind, const QString &name, const QString &version = QString(),
                    const QString &id = QStringLiteral("3"), const QString &title = kHostileTitle)
    {
        ConvertParament para;
        para.setStrOutputFolder(m_dir.filePath(QStringLiteral("out")));
        para.setStrOutputName(name);
        para.setStrTitle(title);
        PublishPlugin plugin;
        plugin.setConvertPara(para);
        plugin.setStrWidth(QStringLiteral("100%"));
        plugin.setStrHeight(QStringLiteral("600"));
        plugin.setStrVersion(version);
        plugin.setStrID(id);
        plugin.setBookFolder(m_book);
        const bool ok = kind == QLatin1String("wordpress") ? plugin.publishWordPressPlugin()
                        : kind == QLatin1String("joomla")  ? plugin.publishJoomlaPlugin()
                                                           : plugin.publishDrupalPlugin();
        if (!ok || plugin.convertStatus() != 3)
            return {};
        const QString unpacked = m_dir.filePath(QStringLiteral("unpacked/") + name);
        ZipExtractor extractor;
        return extractor.extractFile(plugin.packagePath(), unpacked) ? unpacked : QString();
    }

    void verifyBook(const QString &folder)
    {
        QCOMPARE(readFile(folder + QStringLiteral("/book.html")), readFile(m_book + QStringLiteral("/book.html")));
        QCOMPARE(readFile(folder + QStringLiteral("/files/pages/1.jpg")),
                 readFile(m_book + QStringLiteral("/files/pages/1.jpg")));
    }

    // The hostile title stays text: inside PHP literals it reads back exactly, and
    // outside literals and comments none of its markup is left.
    void verifyTitleInert(const QString &php, bool asLiteral)
    {
        QString code = php;
        code.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
        if (asLiteral)
            QVERIFY(phpLiterals(code).contains(kHostileTitle));
        const QString rest = withoutCommentsAndLiterals(php);
        QVERIFY2(!rest.contains(QLatin1String("<script")), qPrintable(rest));
    }

private slots:
    void initTestCase()
    {
        m_book = m_dir.filePath(QStringLiteral("book"));
        makeBook(m_book, QStringLiteral("book"));
    }

    void wordPressPluginHasHeaderShortcodeAndBook()
    {
        const QString folder = publish(QStringLiteral("wordpress"), QStringLiteral("My Book.ZIP"), QStringLiteral("1.0"));
        QVERIFY(!folder.isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("my-book")});
        const QString php = QString::fromUtf8(readFile(folder + QStringLiteral("/my-book/my-book.php")));
        QVERIFY(php.startsWith(QLatin1String("<?php\n/*\n")));

        // The header WordPress reads: one field per line, inside the first comment.
        const QString header = php.section(QLatin1String("*/"), 0, 0);
        QVERIFY(header.contains(QStringLiteral("\nPlugin Name: Bob's \"Book\" </iframe><script>alert(1)</script> ?> * / \\\n")));
        // Not matched with the public plug-in directory by its folder name.
        QVERIFY(header.contains(QStringLiteral("\nUpdate URI: false\n")));
        verifyTitleInert(php, true);
        verifyBook(folder + QStringLiteral("/my-book/book"));

        // Run under PHP with stand-ins for WordPress: the shortcode prints the book's
        // block, and a hostile size or alignment given in a post falls back to the package's.
        const QString output = runPhp(QString::fromUtf8(kWordPressHarness), {folder + QStringLiteral("/my-book/my-book.php"),
                                                                            TestSupport::sourceDataPath("php/wordpress-stubs.php")});
        if (output.isNull())
            return; // no PHP here
        const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("my_book"));
        const QString src = QStringLiteral("http://site/plugins/my-book/book/book.html");
        verifyBlock(lines[1], QStringLiteral("quorvel-book"), src, QStringLiteral("height:600px"));
        verifyBlock(lines[2], QStringLiteral("quorvel-book"), src, QStringLiteral("height:600px"));
    }

    void joomlaModulesForBothVersions()
    {
        for (const QString &version : {QStringLiteral("2.5 and later"), QStringLiteral("1.5")}) {
            const QString folder = publish(QStringLiteral("joomla"), QStringLiteral("Joomla ") + version.left(3),
                                           version, QStringLiteral("3"));
            QVERIFY(!folder.isEmpty());
            const QString module = version == QLatin1String("1.5") ? QStringLiteral("mod_joomla_1_5_3")
                                                                   : QStringLiteral("mod_joomla_2_5_3");
            QDomDocument manifest;
            QVERIFY(manifest.setContent(readFile(QStringLiteral("%1/%2.xml").arg(folder, module))));
            const QDomElement root = manifest.documentElement();
            QCOMPARE(root.tagName(), version == QLatin1String("1.5") ? QStringLiteral("install") : QStringLiteral("extension"));
            QCOMPARE(root.attribute(QStringLiteral("type")), QStringLiteral("module"));
            QCOMPARE(root.firstChildElement(QStringLiteral("name")).text(), kHostileTitle);
            const QDomElement files = root.firstChildElement(QStringLiteral("files"));
            QCOMPARE(files.firstChildElement(QStringLiteral("filename")).attribute(QStringLiteral("module")), module);
            QCOMPARE(files.firstChildElement(QStringLiteral("filename")).text(), module + QStringLiteral(".php"));
            QCOMPARE(files.firstChildElement(QStringLiteral("folder")).text(), QStringLiteral("book"));
            QVERIFY(QFile::exists(folder + QStringLiteral("/index.html")));
            // Joomla looks for updates only at the servers a manifest names: none here.
            QVERIFY(root.firstChildElement(QStringLiteral("updateservers")).isNull());

            const QString php = QString::fromUtf8(readFile(QStringLiteral("%1/%2.php").arg(folder, module)));
            QVERIFY(php.contains(QStringLiteral("defined('_JEXEC') or die")));
            verifyTitleInert(php, false);
            verifyBook(folder + QStringLiteral("/book"));

            const QString output = runPhp(QString::fromUtf8(kJoomlaHarness), {QStringLiteral("%1/%2.php").arg(folder, module)});
            if (!output.isNull())
                verifyBlock(output, QStringLiteral("quorvel-book"), QStringLiteral("/site/modules/%1/book/book.html").arg(module),
                            QStringLiteral("height:600px"));
        }
    }

    void drupalModulesForBothVersions()
    {
        for (const QString &version : {QStringLiteral("7"), QStringLiteral("6")}) {
            const QString folder = publish(QStringLiteral("drupal"), QStringLiteral("2024 Catalogue"), version,
                                           QStringLiteral("12"));
            QVERIFY(!folder.isEmpty());
            const QString module = QStringLiteral("book_2024_catalogue_12"); // names start with a letter
            const QString base = QStringLiteral("%1/%2/%2").arg(folder, module);
            const QString info = QString::fromUtf8(readFile(base + QStringLiteral(".info")));
            QVERIFY(info.contains(QStringLiteral("\ncore = %1.x\n").arg(version)));
            // Drupal's update status skips modules whose .info names no project.
            QVERIFY(!info.contains(QRegularExpression(QStringLiteral("^project\\s*="), QRegularExpression::MultilineOption)));
            // One line per key; the quotes of the title cannot end the value early.
            QCOMPARE(info.section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("name = \"Bob's 'Book' </iframe><script>alert(1)</script> ?> */ /\""));
            const QString php = QString::fromUtf8(readFile(base + QStringLiteral(".module")));
            verifyTitleInert(php, true);
            verifyBook(folder + QStringLiteral("/") + module + QStringLiteral("/book"));

            const QString output = runPhp(QString::fromUtf8(kDrupalHarness), {base + QStringLiteral(".module"), module, version});
            if (output.isNull())
                continue;
            const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 3);
            QCOMPARE(lines[0], QStringLiteral("Flip book: ") + kHostileTitle);
            QCOMPARE(htmlDecoded(lines[1]), kHostileTitle);
            verifyBlock(lines[2], QStringLiteral("quorvel-book"),
                        QStringLiteral("/sites/all/modules/%1/book/book.html").arg(module), QStringLiteral("height:600px"));
        }
    }

    void namesOfEveryScriptMakeDistinctPluginNames()
    {
        // Accents go, letters stay; other scripts are spelt in Latin letters, and keep a
        // mark of their own, as two of them may sound alike (both of the last two are "shu").
        QCOMPARE(PublishPlugin::slugForName(QStringLiteral("Ünïcödé Buch.zip")), QStringLiteral("unicode-buch"));
        QSet<QString> plugins;
        for (const QString &name : {QStringLiteral("Η Οδύσσεια"), QStringLiteral("吾輩は猫である"), QStringLiteral("书"),
                                    QStringLiteral("输")}) {
            const QString folder = publish(QStringLiteral("wordpress"), name, QString(), QStringLiteral("1"), name);
            const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            QVERIFY(!folder.isEmpty() && entries.size() == 1);
            QVERIFY2(QRegularExpression(QStringLiteral("^[a-z][a-z0-9-]*$")).match(entries[0]).hasMatch(), qPrintable(entries[0]));
            QVERIFY(QFileInfo(QStringLiteral("%1/%2/%2.php").arg(folder, entries[0])).isFile());
            QVERIFY2(phpLintFailures(folder).isEmpty(), qPrintable(phpLintFailures(folder).join('\n')));
            plugins << entries[0];
        }
        QCOMPARE(plugins.size(), 4);
    }

    void badInputFailsAndKeepsTheOldPackage()
    {
        const QString target = m_dir.filePath(QStringLiteral("out/keep.zip"));
        writeFile(target, "previous");
        ConvertParament para;
        para.setStrOutputFolder(m_dir.filePath(QStringLiteral("out")));
        para.setStrOutputName(QStringLiteral("keep"));
        para.setStrTitle(QStringLiteral("Keep"));

        const auto attempt = [&](const QString &width, const QString &id, const QString &book) {
            PublishPlugin plugin;
            plugin.setConvertPara(para);
            plugin.setStrWidth(width);
            plugin.setStrHeight(QStringLiteral("100%"));
            plugin.setStrID(id);
            plugin.setBookFolder(book);
            const bool ok = plugin.publishJoomlaPlugin();
            return ok ? 0 : plugin.convertStatus();
        };
        QCOMPARE(attempt(QStringLiteral("100%;background:url(x)"), QStringLiteral("1"), m_book), 131);
        QCOMPARE(attempt(QStringLiteral("100%"), QStringLiteral("1 OR 1"), m_book), 131);
        QCOMPARE(attempt(QStringLiteral("100%"), QStringLiteral("1"), m_dir.filePath(QStringLiteral("nothing"))), 131);
        QCOMPARE(readFile(target), QByteArray("previous"));
        QCOMPARE(attempt(QStringLiteral("100%"), QString(), m_book), 0); // an empty id is "1"
        QVERIFY(ZipExtractor::entryNames(target).contains(QStringLiteral("mod_keep_1.xml")));

        QCOMPARE(PublishPlugin::cssLength(QStringLiteral("-5px")), QString());
        QVERIFY(!PublishPlugin::slugForName(QStringLiteral("***")).isEmpty());
        para.setStrOutputName(QStringLiteral("name.tar"));
        PublishPlugin plugin;
        plugin.setConvertPara(para);
        QVERIFY(plugin.packagePath().endsWith(QLatin1String("/name.tar.zip")));
    }

    void packageTakesTheConvertedBookByDefault()
    {
        UploadBookDelegate convert;
        convert.setBookWriter([](const QString &folder, const QString &name, const std::atomic_bool &) {
            makeBook(folder, name);
            return true;
        });
        QVERIFY(convert.ConvertBookForUpload(QStringLiteral("book")));
        ConvertParament para;
        para.setStrOutputFolder(m_dir.filePath(QStringLiteral("out")));
        para.setStrOutputName(QStringLiteral("from-upload"));
        PublishPlugin plugin;
        plugin.setConvertPara(para);
        QVERIFY(plugin.publishWordPressPlugin());
        QVERIFY(ZipExtractor::entryNames(plugin.packagePath()).contains(QStringLiteral("from-upload/book/book.html")));
    }
};

QV_TEST(PublishPluginTest)
#include "tst_publishplugin.moc"
