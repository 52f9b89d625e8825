#include "foundation/AppStrings.h"

#include "foundation/AppResources.h"
#include "foundation/LanguageTables.h"
#include "foundation/SettingsStore.h"

#include <QMutex>

namespace {

const QString kLanguageCodeKey = QStringLiteral("LanguageCode");

QMutex &languageMutex()
{
    static QMutex mutex;
    return mutex;
}

QString &chosenLanguage()
{
    static QString code;
    return code;
}

} // namespace

LanguageTables &appLanguageTables()
{
    static LanguageTables tables(AppResources::resourcePath());
    return tables;
}

QString loadAppString(const QString &key, const QString &defaultText)
{
    return appLanguageTables().localizedString(currentLanguageCode(), key, defaultText);
}

QString defaultLanguageCode()
{
    const QString code = SettingsStore::value(kLanguageCodeKey).toString();
    return code.isEmpty() ? QString() : code;
}

void saveDefaultLanguageCode(const QString &code)
{
    if (code.isEmpty())
        SettingsStore::remove(kLanguageCodeKey);
    else
        SettingsStore::setValue(kLanguageCodeKey, code);
}

QString currentLanguageCode()
{
    {
        QMutexLocker lock(&languageMutex());
        if (!chosenLanguage().isEmpty())
            return chosenLanguage();
    }
    // Settled once: a language saved later takes effect at the next start.
    const QString saved = defaultLanguageCode();
    QMutexLocker lock(&languageMutex());
    if (chosenLanguage().isEmpty())
        chosenLanguage() = saved.isEmpty() ? QStringLiteral("en") : saved;
    return chosenLanguage();
}

void setCurrentLanguageCode(const QString &code)
{
    QMutexLocker lock(&languageMutex());
    chosenLanguage() = code;
}
