#pragma once
// The UI language tables below a resource folder:
//   <root>/<language>.lproj/QuorvelLocale.strings   the UI texts
//   <root>/<language>.lproj/InfoPlist.strings       "$APP_NAME$", "$OnlineServerName$"
//
// A language code such as "zh-Hans", "pt_BR" or "de-DE" finds the folder of the code
// itself, then of the code with "_" written "-", then of its base language ("de").
// Tables are read once and kept; lookups are safe from any thread.

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

#include "foundation/StringsTable.h"

class LanguageTables
{
public:
    static const QString kLocaleTable;    // "QuorvelLocale"
    static const QString kInfoPlistTable; // "InfoPlist"

    explicit LanguageTables(const QString &resourceRoot);

    QString resourceRoot() const { return m_root; }

    // The folder holding the tables of a language, or a null string when there is none.
    QString languageFolder(const QString &languageCode) const;

    // The entry of a table, or a null string when the language, the table or the key
    // is missing.
    QString lookup(const QString &languageCode, const QString &table, const QString &key) const;

    // A UI text by the program's rules: keys written "$NAME$" come from InfoPlist, all
    // others from QuorvelLocale; a missing translation, or one equal to its key, gives
    // defaultText. With a null defaultText the English table stands in, then the key.
    QString localizedString(const QString &languageCode, const QString &key,
                            const QString &defaultText) const;

    // Codes of the languages that have a folder, sorted.
    QStringList availableLanguages() const;

    // Forgets the folders and tables read so far (after the files changed).
    void clearCache();

    static bool isInfoPlistKey(const QString &key);

private:
    const StringsTable &table(const QString &folder, const QString &name) const;
    QString folderLocked(const QString &languageCode) const;

    QString m_root;
    mutable QMutex m_mutex;
    mutable QHash<QString, StringsTable> m_tables; // by "<folder>/<table>"
    mutable QHash<QString, QString> m_folders;     // language code -> folder ("" for none)
};
