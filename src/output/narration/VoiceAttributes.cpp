#include "output/narration/VoiceAttributes.h"

#include "platform/SpeechEngine.h"

#include <QLocale>
#include <QPair>
#include <QStringList>

VoiceAttributes VoiceAttributes::fromSpeechVoice(const SpeechVoice &voice)
{
    VoiceAttributes attributes;
    attributes.m_identifier = voice.identifier;
    attributes.m_name = voice.name;
    attributes.m_age = voice.age > 0 ? QString::number(voice.age) : QString();
    attributes.m_gender = voice.gender == 1 ? QStringLiteral("Male")
        : voice.gender == 2               ? QStringLiteral("Female")
                                          : QStringLiteral("unknown");
    attributes.m_locale = localeFromLanguage(voice.language);
    attributes.resetToDefaults();
    return attributes;
}

VoiceAttributes VoiceAttributes::initWithIdentifier(const QString &identifier)
{
    for (const SpeechVoice &voice : SpeechEngine::shared().voices())
        if (voice.identifier == identifier)
            return fromSpeechVoice(voice);
    return {};
}

QList<VoiceAttributes> VoiceAttributes::availableVoices()
{
    const QString mine = QLocale().name().section(QLatin1Char('_'), 0, 0);
    QList<VoiceAttributes> own, others;
    for (const SpeechVoice &voice : SpeechEngine::shared().voices()) {
        const VoiceAttributes attributes = fromSpeechVoice(voice);
        const QString language = attributes.m_locale.section(QLatin1Char('_'), 0, 0);
        (language == mine ? own : others) << attributes;
    }
    return own + others;
}

QString VoiceAttributes::languageCode(const QString &bookLanguage)
{
    // The names the template's language setting offers.
    static const QList<QPair<QString, QString>> names{{QStringLiteral("English"), QStringLiteral("en")},
                                                      {QStringLiteral("Deutsch"), QStringLiteral("de")},
                                                      {QString::fromUtf8("Français"), QStringLiteral("fr")},
                                                      {QString::fromUtf8("Español"), QStringLiteral("es")},
                                                      {QString::fromUtf8("中文"), QStringLiteral("zh")}};
    const QString value = bookLanguage.trimmed();
    for (const auto &[name, code] : names)
        if (value.compare(name, Qt::CaseInsensitive) == 0)
            return code;
    return value.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
}

qsizetype VoiceAttributes::defaultVoiceIndex(const QList<VoiceAttributes> &voices, const QString &bookLanguage)
{
    const auto firstSpeaking = [&](const QString &code) -> qsizetype {
        if (code.isEmpty())
            return -1;
        for (qsizetype i = 0; i < voices.size(); ++i)
            if (voices.at(i).locale().section(QLatin1Char('_'), 0, 0).compare(code, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    for (const QString &code : {languageCode(bookLanguage), QStringLiteral("en")})
        if (const qsizetype index = firstSpeaking(code); index >= 0)
            return index;
    return voices.isEmpty() ? -1 : 0;
}

void VoiceAttributes::resetToDefaults()
{
    m_rate = SpeechEngine::kDefaultRate;
    m_volume = SpeechEngine::kDefaultVolume;
}

QString VoiceAttributes::displayName() const
{
    return QStringLiteral("%1(%2)").arg(m_name, m_locale);
}

QString VoiceAttributes::localeFromLanguage(const QString &language)
{
    QStringList parts = language.split(QLatin1Char('-'));
    for (int i = 1; i < parts.size(); ++i)
        if (parts.at(i).size() <= 3)
            parts[i] = parts.at(i).toUpper();
    return parts.join(QLatin1Char('_'));
}
