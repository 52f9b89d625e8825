#pragma once
// UI texts of the current language.
//
// Every user-visible text goes through loadAppString(key, default): the key is a
// short prefix from the owning class, a hyphen and the English text
// ("QuorvelAppD-open project"), the default is the English text. The English table
// resources/en.lproj/QuorvelLocale.strings is regenerated from these calls by
// scripts/update-strings.sh.

#include <QString>
#include <QStringList>

class LanguageTables;

// The text for key in the current UI language; defaultText when there is no
// translation or the translation equals the key. "$APP_NAME$" and
// "$OnlineServerName$" come from the InfoPlist table. Safe from any thread.
QString loadAppString(const QString &key, const QString &defaultText = QString());

// The UI language code saved in the settings ("LanguageCode"), or a null string
// when none was chosen (callers then use "en").
QString defaultLanguageCode();
void saveDefaultLanguageCode(const QString &code);

// The language the UI is shown in: the one start-up set, else the one saved when
// it was first asked for, else "en". It does not follow later saves: a new choice
// shows at the next start.
QString currentLanguageCode();
void setCurrentLanguageCode(const QString &code);

// The tables below the program's resource folder.
LanguageTables &appLanguageTables();
