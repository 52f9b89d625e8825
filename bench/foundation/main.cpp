// Prints throughput figures of the foundation services: UI text lookups, the log,
// and writing and extracting archives of a book-sized folder.
#include "foundation/AppLog.h"
#include "foundation/Crypto.h"
#include "foundation/LanguageTables.h"
#include "foundation/StringsTable.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {
void report(const char *what, double value, const char *unit)
{
    std::printf("%-40s %12.1f %s\n", what, value, unit);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;

    // UI text lookups against a table of 3000 keys.
    StringsTable table;
    for (int i = 0; i < 3000; ++i)
        table.insert(QStringLiteral("BenchD-text number %1").arg(i), QStringLiteral("Text %1").arg(i));
    QDir().mkpath(work.filePath("res/de.lproj"));
    table.writeToFile(work.filePath("res/de.lproj/QuorvelLocale.strings"));
    LanguageTables tables(work.filePath("res"));
    QElapsedTimer timer;
    timer.start();
    tables.localizedString(QStringLiteral("de"), QStringLiteral("BenchD-text number 1"), QString());
    report("first lookup (reads the table)", double(timer.nsecsElapsed()) / 1e6, "ms");
    const int lookups = 300000;
    QStringList keys;
    for (int i = 0; i < 100; ++i)
        keys << QStringLiteral("BenchD-text number %1").arg(i * 29);
    timer.restart();
    qsizetype sink = 0;
    for (int i = 0; i < lookups; ++i)
        sink += tables.localizedString(QStringLiteral("de"), keys[i % keys.size()], QStringLiteral("x")).size();
    report("UI text lookups", lookups / (double(timer.nsecsElapsed()) / 1e9), "per second");

    // Log records.
    AppLog log(work.filePath("log"));
    const int records = 20000;
    timer.restart();
    for (int i = 0; i < records; ++i)
        log.log(QStringLiteral("publish error:benchmark record %1").arg(i));
    report("log records", records / (double(timer.nsecsElapsed()) / 1e9), "per second");

    // A book-sized folder: 300 page pictures of 150 KiB (not compressible) and
    // 300 small text files.
    const QString book = work.filePath("book");
    qint64 bytes = 0;
    for (int i = 0; i < 300; ++i) {
        QDir().mkpath(book + QStringLiteral("/files/large"));
        QFile picture(book + QStringLiteral("/files/large/%1.jpg").arg(i));
        picture.open(QIODevice::WriteOnly);
        bytes += picture.write(Crypto::randomBytes(150 * 1024));
        QFile text(book + QStringLiteral("/files/text%1.js").arg(i));
        text.open(QIODevice::WriteOnly);
        bytes += text.write(QByteArray("var page = {\"number\": 1, \"text\": \"some words\"};\n").repeated(40));
    }
    const double megabytes = double(bytes) / (1024.0 * 1024.0);
    timer.restart();
    ZipWriter writer(work.filePath("book.zip"));
    writer.addFolderContents(book);
    const bool written = writer.commit();
    const double zipSeconds = double(timer.nsecsElapsed()) / 1e9;
    report("zip a book folder", megabytes / zipSeconds, written ? "MiB/s" : "MiB/s (FAILED)");

    timer.restart();
    ZipExtractor extractor;
    const bool extracted = extractor.extractFile(work.filePath("book.zip"), work.filePath("out"));
    report("extract it", megabytes / (double(timer.nsecsElapsed()) / 1e9), extracted ? "MiB/s" : "MiB/s (FAILED)");
    report("book folder size", megabytes, "MiB");
    return sink > 0 && written && extracted ? 0 : 1;
}
