#include "platform/SpeechEngine.h"

#include <espeak-ng/speak_lib.h>

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace {

// The synthesis under way on the owner thread (the library calls back on it).
struct CurrentSynthesis
{
    SpeechAudio *audio = nullptr;
    const std::atomic_bool *stop = nullptr;
};
CurrentSynthesis g_current;

int synthCallback(short *samples, int count, espeak_EVENT *)
{
    if (g_current.stop && g_current.stop->load()) {
        if (g_current.audio)
            g_current.audio->stopped = true;
        return 1; // abort
    }
    if (samples && count > 0 && g_current.audio)
        g_current.audio->samples.insert(g_current.audio->samples.end(), samples, samples + count);
    return 0;
}

} // namespace

class SpeechEngine::Owner
{
public:
    Owner() : m_thread([this] { loop(); }) {}
    ~Owner()
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void post(std::function<void()> job)
    {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_all();
    }

    bool isOwnerThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

    // Owner thread only.
    bool start()
    {
        if (m_started)
            return m_sampleRate > 0;
        m_started = true;
        m_sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (m_sampleRate <= 0) {
            m_error = QStringLiteral("the speech engine could not start (is espeak-ng-data installed?)");
            m_sampleRate = 0;
            return false;
        }
        espeak_SetSynthCallback(synthCallback);
        return true;
    }
    int sampleRate() const { return m_sampleRate; }
    QString error() const { return m_error; }

private:
    void loop()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_quit || !m_jobs.empty(); });
                if (m_jobs.empty())
                    break;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
        if (m_sampleRate > 0)
            espeak_Terminate();
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_quit = false;
    bool m_started = false;
    int m_sampleRate = 0;
    QString m_error;
    std::thread m_thread; // last: starts once the rest is in place
};

SpeechEngine &SpeechEngine::shared()
{
    static SpeechEngine engine;
    return engine;
}

SpeechEngine::SpeechEngine() : m_owner(std::make_unique<Owner>())
{
}

SpeechEngine::~SpeechEngine() = default;

void SpeechEngine::run(std::function<void()> job)
{
    if (m_owner->isOwnerThread()) {
        job();
        return;
    }
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    m_owner->post([&] {
        job();
        done.set_value();
    });
    finished.wait();
}

bool SpeechEngine::isAvailable()
{
    bool available = false;
    run([&] { available = m_owner->start(); });
    return available;
}

QString SpeechEngine::errorString()
{
    QString error;
    run([&] {
        m_owner->start();
        error = m_owner->error();
    });
    return error;
}

QList<SpeechVoice> SpeechEngine::voices()
{
    QList<SpeechVoice> list;
    run([&] {
        if (!m_owner->start())
            return;
        const espeak_VOICE **voices = espeak_ListVoices(nullptr);
        for (int i = 0; voices && voices[i]; ++i) {
            const espeak_VOICE *v = voices[i];
            SpeechVoice voice;
            voice.identifier = QString::fromUtf8(v->identifier ? v->identifier : "");
            voice.name = QString::fromUtf8(v->name ? v->name : "");
            // languages: (priority byte, name, NUL) pairs; the first is the voice's own.
            if (v->languages && v->languages[0])
                voice.language = QString::fromUtf8(v->languages + 1);
            voice.gender = v->gender;
            voice.age = v->age;
            if (!voice.identifier.isEmpty())
                list << voice;
        }
    });
    return list;
}

QByteArray SpeechEngine::plainText(const QString &text)
{
    QString plain = text;
    for (QChar &c : plain)
        if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
            c = QLatin1Char(' ');
    return plain.toUtf8();
}

SpeechAudio SpeechEngine::synthesize(const QString &text, const QString &voice, double rate, double volume,
                                     const std::atomic_bool *stop)
{
    SpeechAudio audio;
    const QByteArray utf8 = plainText(text);
    run([&] {
        if (!m_owner->start()) {
            audio.error = m_owner->error();
            return;
        }
        audio.sampleRate = m_owner->sampleRate();
        if (stop && stop->load()) {
            audio.stopped = true;
            return;
        }
        const QByteArray name = voice.isEmpty() ? QByteArrayLiteral("en") : voice.toUtf8();
        if (espeak_SetVoiceByName(name.constData()) != EE_OK) {
            audio.error = QStringLiteral("the voice %1 is not installed").arg(voice);
            return;
        }
        const int wpm = int(std::lround(std::clamp(rate > 0 ? rate : kDefaultRate, kMinimumRate, kMaximumRate)));
        const int loudness = int(std::lround(std::clamp(volume, 0.0, 1.0) * 100.0));
        espeak_SetParameter(espeakRATE, wpm, 0);
        espeak_SetParameter(espeakVOLUME, loudness, 0);
        g_current = {&audio, stop};
        // UTF-8 text without the SSML and phoneme flags: markup is read, never obeyed.
        const espeak_ERROR result = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                                                 espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, nullptr);
        g_current = {};
        if (audio.stopped)
            return;
        if (result != EE_OK) {
            audio.error = QStringLiteral("the speech engine failed (%1)").arg(int(result));
            return;
        }
        audio.ok = true;
    });
    return audio;
}
