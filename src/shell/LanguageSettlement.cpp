#include "shell/LanguageSettlement.h"

#include <QSet>

QString LanguageSettlement::argumentLanguage(const QStringList &arguments)
{
    const int at = arguments.lastIndexOf(languageArgument());
    if (at < 0 || at + 1 >= arguments.size())
        return {};
    const QString value = arguments.at(at + 1).trimmed();
    if (value.size() < 3 || !value.startsWith(QLatin1Char('(')) || !value.endsWith(QLatin1Char(')')))
        return {};
    // "(de)", also "( de )" and the quoted form "(\"zh-Hans\")" a shell may leave.
    QString code = value.mid(1, value.size() - 2).trimmed();
    code.remove(QLatin1Char('"'));
    return code.trimmed();
}

QStringList LanguageSettlement::withoutLanguageArgument(const QStringList &arguments)
{
    QStringList rest;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == languageArgument()) {
            ++i; // and its value
            continue;
        }
        rest << arguments.at(i);
    }
    return rest;
}

QString LanguageSettlement::systemLanguageCode(const QLocale &locale)
{
    const QString language = QLocale::languageToCode(locale.language());
    if (locale.language() == QLocale::C || language.isEmpty())
        return QStringLiteral("en");
    // The scripts the language is usually written in, country by country (Chinese:
    // Simplified and Traditional; English: only Latin, though rarer scripts exist).
    QSet<QLocale::Script> scripts;
    for (const QLocale &each : QLocale::matchingLocales(locale.language(), QLocale::AnyScript, QLocale::AnyTerritory))
        scripts.insert(QLocale(locale.language(), each.territory()).script());
    if (scripts.size() > 1 && locale.script() != QLocale::AnyScript)
        return language + QLatin1Char('-') + QLocale::scriptToCode(locale.script());
    return language;
}

LanguageDecision LanguageSettlement::decide(const QStringList &arguments, const QString &savedCode,
                                            const QString &systemCode, bool relaunched)
{
    LanguageDecision decision;
    const QString given = argumentLanguage(arguments);
    if (!given.isEmpty()) {
        decision.code = given;
        return decision;
    }
    const QString code = savedCode.isEmpty() ? systemCode : savedCode;
    decision.code = code.isEmpty() ? QStringLiteral("en") : code;
    if (relaunched)
        return decision; // never a second time, whatever the store says
    if (savedCode.isEmpty() || savedCode != systemCode) {
        decision.save = true;
        decision.relaunch = true;
        decision.relaunchArguments = withoutLanguageArgument(arguments);
        decision.relaunchArguments << languageArgument()
                                   << QStringLiteral("(%1)").arg(decision.code);
    }
    return decision;
}
