#pragma once
// The speech synthesizer of the program, on libespeak-ng.
//
// The library keeps one global state and is not thread-safe, so one thread of its own
// owns it: every call here is handed to that thread and waits for its answer. Callers
// that must not wait (the window's thread) call from a worker. The library starts on
// the first call; isAvailable() says whether it could (its voice data may be missing).
//
// Text is always spoken as plain text: markup and phoneme codes in it are read as the
// characters they are, never obeyed.

#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

struct SpeechVoice
{
    QString identifier; // the voice file within the voice data, e.g. "gmw/en"
    QString name;       // e.g. "English (Great Britain)"
    QString language;   // the voice's first language, e.g. "en-gb"
    int gender = 0;     // 0 none, 1 male, 2 female
    int age = 0;        // years; 0 when not given
};

// What a synthesis produced: 16-bit mono samples.
struct SpeechAudio
{
    std::vector<short> samples;
    int sampleRate = 0;
    bool ok = false;      // false: the engine failed (error says why)
    bool stopped = false; // the stop flag ended it early (ok stays false)
    QString error;

    double seconds() const { return sampleRate > 0 ? double(samples.size()) / sampleRate : 0.0; }
};

class SpeechEngine
{
public:
    // The speaking rate in words per minute and the volume (1.0 the engine's normal
    // loudness) a new voice starts with.
    static constexpr double kDefaultRate = 175.0;
    static constexpr double kDefaultVolume = 1.0;
    static constexpr double kMinimumRate = 80.0;
    static constexpr double kMaximumRate = 450.0;

    static SpeechEngine &shared();

    SpeechEngine(const SpeechEngine &) = delete;
    SpeechEngine &operator=(const SpeechEngine &) = delete;
    ~SpeechEngine();

    bool isAvailable();
    QString errorString();

    // The installed voices, in the engine's order (by language).
    QList<SpeechVoice> voices();

    // Speaks text with voice (an identifier; the engine's default when empty) at rate
    // (words per minute, kept within the engine's range) and volume (0.0 to 1.0) into
    // samples. Ends early, with stopped set, once *stop becomes true.
    SpeechAudio synthesize(const QString &text, const QString &voice, double rate, double volume,
                           const std::atomic_bool *stop = nullptr);

    // Text as the engine gets it: control characters other than line breaks and tabs
    // become blanks.
    static QByteArray plainText(const QString &text);

private:
    SpeechEngine();
    class Owner;
    // Runs job on the owner thread and waits for it.
    void run(std::function<void()> job);

    std::unique_ptr<Owner> m_owner;
};
