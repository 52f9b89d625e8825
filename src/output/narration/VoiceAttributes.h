#pragma once
// One installed voice of the speech engine, with the rate (words per minute) and
// volume (0.0 to 1.0) the narration speaks it with. The voice chooser changes rate
// and volume in place; a new voice starts with the engine's own values.

#include <QList>
#include <QString>

struct SpeechVoice;

class VoiceAttributes
{
public:
    VoiceAttributes() = default;
    // The installed voice with that identifier; an empty identifier() when there is none.
    static VoiceAttributes initWithIdentifier(const QString &identifier);
    static VoiceAttributes fromSpeechVoice(const SpeechVoice &voice);

    // Every installed voice: those of the user's language first, then the rest in the
    // engine's order.
    static QList<VoiceAttributes> availableVoices();
    // The voice a book's narration starts with: the first that speaks the book's
    // language (the template setting "language": a name the setting offers, such as
    // "Deutsch", or a code such as "de"), else the first English one, else the first;
    // -1 for no voices.
    static qsizetype defaultVoiceIndex(const QList<VoiceAttributes> &voices, const QString &bookLanguage);
    // The language code of the setting's value ("English" -> "en"); the value itself
    // when it is a code already.
    static QString languageCode(const QString &bookLanguage);

    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString &identifier) { m_identifier = identifier; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString age() const { return m_age; }
    void setAge(const QString &age) { m_age = age; }
    // "Neuter", "Male", "Female" or "unknown".
    QString gender() const { return m_gender; }
    void setGender(const QString &gender) { m_gender = gender; }
    // The voice's language as a locale identifier ("en_GB").
    QString locale() const { return m_locale; }
    void setLocale(const QString &locale) { m_locale = locale; }
    double volume() const { return m_volume; }
    void setVolume(double volume) { m_volume = volume; }
    double rate() const { return m_rate; }
    void setRate(double rate) { m_rate = rate; }

    // The engine's own rate and volume for a new voice.
    void resetToDefaults();

    // "name(locale)", as the voice box lists it.
    QString displayName() const;

    // The locale identifier of a voice language: "en-gb" gives "en_GB"; parts of more
    // than three letters (scripts, variants) keep their case.
    static QString localeFromLanguage(const QString &language);

private:
    QString m_identifier;
    QString m_name;
    QString m_age;
    QString m_gender = QStringLiteral("unknown");
    QString m_locale;
    double m_volume = 1.0;
    double m_rate = 175.0;
};
