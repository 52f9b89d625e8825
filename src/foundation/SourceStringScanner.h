#pragma once
// Finds the UI texts a program's C++ sources ask for: every
//   loadAppString("key", "English text")
// call whose arguments are string literals (also wrapped in QStringLiteral(),
// QLatin1String() and the like, or split into adjacent literals). Calls with a
// computed key are left out; a call with only a literal key uses the key as its
// text. Keys written "$NAME$" belong to the InfoPlist table and are left out too.
// Comments and the contents of other strings are skipped.
//
// Used to keep the English language table complete (scripts/update-strings.sh).

#include <QList>
#include <QString>
#include <QStringList>

#include "foundation/StringsTable.h"

struct SourceString
{
    QString key;
    QString text;
    QString file;
    int line = 0;
};

class SourceStringScanner
{
public:
    static QList<SourceString> scanText(const QString &source, const QString &fileName = QString());
    // Every .cpp and .h file below folder (file names relative to it).
    static QList<SourceString> scanFolder(const QString &folder);

    // The English table the calls ask for. A key used with two different texts is
    // described in conflicts ("key: file:line \"text\" / file:line \"text\"") and
    // keeps the first text found.
    static StringsTable tableFromCalls(const QList<SourceString> &calls, QStringList *conflicts = nullptr);
};
