#pragma once
// Which UI language a run of the program uses, decided before any window exists.
//
//   "-AppleLanguages" followed by a code in parentheses, "(de)", wins.
//   Otherwise the saved code is compared with the system's language code; when nothing
//   was saved or the two differ, the program saves a code, starts itself again with
//   "-AppleLanguages (code)" and the arguments it was given, and ends.
//
// The code saved and passed on is the saved one when there is one (the user's choice
// of language stays), else the system's. A run that was itself started again never
// starts another one (relaunchGuard), so a broken settings store cannot make the
// program start itself over and over.

#include <QLocale>
#include <QString>
#include <QStringList>

struct LanguageDecision
{
    QString code;           // the language of this run (or of the run started again)
    bool relaunch = false;  // start the program again with relaunchArguments and end
    bool save = false;      // save code as the default language code first
    QStringList relaunchArguments;
};

class LanguageSettlement
{
public:
    static QString languageArgument() { return QStringLiteral("-AppleLanguages"); }
    // The environment variable a started-again run carries.
    static QByteArray relaunchGuard() { return QByteArrayLiteral("QUORVEL_LANGUAGE_RELAUNCHED"); }

    // The code given with "-AppleLanguages (code)" among arguments (without the
    // program name); empty when there is none or it is not in parentheses.
    static QString argumentLanguage(const QStringList &arguments);
    // arguments without "-AppleLanguages" and the value after it.
    static QStringList withoutLanguageArgument(const QStringList &arguments);

    // The language code of a locale: "de" for de_DE, with the script code after "-"
    // for languages written in more than one script ("zh-Hans" for zh_CN, "zh-Hant"
    // for zh_TW, "sr-Latn").
    static QString systemLanguageCode(const QLocale &locale);

    // arguments: the command line without the program name; relaunched: this run was
    // started again by the program itself.
    static LanguageDecision decide(const QStringList &arguments, const QString &savedCode,
                                   const QString &systemCode, bool relaunched);
};
