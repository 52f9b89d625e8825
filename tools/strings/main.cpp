// Keeps the English UI language table in step with the sources.
//
//   quorvel-strings [--check] [--prune] <source folder> <table file>
//
// Collects every loadAppString("key", "English text") call below the source folder
// and writes the table with one entry per key, sorted, the text from the sources.
// Entries whose key no call names (keys built at run time) are kept unless --prune.
// With --check nothing is written; the exit status is 1 when the table is out of date.
#include "foundation/SourceStringScanner.h"
#include "foundation/StringsTable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {
void print(const QString &text)
{
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    const bool prune = args.removeAll(QStringLiteral("--prune")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quorvel-strings [--check] [--prune] <source folder> <table file>\n");
        return 2;
    }
    const QString sources = args[0];
    const QString tablePath = args[1];
    if (!QFileInfo(sources).isDir()) {
        std::fprintf(stderr, "no such folder: %s\n", qPrintable(sources));
        return 2;
    }

    QStringList conflicts;
    const StringsTable wanted =
        SourceStringScanner::tableFromCalls(SourceStringScanner::scanFolder(sources), &conflicts);
    QStringList errors;
    bool exists = false;
    const StringsTable current = StringsTable::fromFile(tablePath, &exists, &errors);
    for (const QString &e : std::as_const(errors))
        print(QStringLiteral("%1: %2").arg(tablePath, e));
    for (const QString &c : std::as_const(conflicts))
        print(QStringLiteral("key used with two texts: %1").arg(c));

    StringsTable updated = wanted;
    int stale = 0;
    for (auto it = current.entries().cbegin(); it != current.entries().cend(); ++it) {
        if (wanted.contains(it.key()))
            continue;
        ++stale;
        if (!prune)
            updated.insert(it.key(), it.value());
    }
    int added = 0, changed = 0;
    for (auto it = wanted.entries().cbegin(); it != wanted.entries().cend(); ++it) {
        if (!current.contains(it.key()))
            ++added;
        else if (current.value(it.key()) != it.value())
            ++changed;
    }
    const int removed = prune ? stale : 0;
    print(QStringLiteral("%1 keys in the sources: %2 new, %3 changed, %4 not in the sources%5")
              .arg(wanted.size())
              .arg(added)
              .arg(changed)
              .arg(stale)
              .arg(prune ? QStringLiteral(" (removed)") : QString()));

    const bool outOfDate = !exists || added || changed || removed || !errors.isEmpty();
    if (check)
        return outOfDate ? 1 : 0;
    if (!outOfDate)
        return 0;
    QString error;
    if (!updated.writeToFile(tablePath,
                             QStringLiteral("English UI texts. Made by scripts/update-strings.sh from the "
                                            "loadAppString() calls in src/; run it again after adding texts."),
                             &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(tablePath), qPrintable(error));
        return 1;
    }
    print(QStringLiteral("wrote %1").arg(tablePath));
    return 0;
}
