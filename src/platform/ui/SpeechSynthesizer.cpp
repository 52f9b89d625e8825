#include "platform/ui/SpeechSynthesizer.h"

#include "platform/AudioFile.h"
#include "platform/SpeechEngine.h"
#include "platform/WorkerPool.h"

#include <QtConcurrent>

SpeechSynthesizer::SpeechSynthesizer(QObject *parent) : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &SpeechSynthesizer::onSpoken);
    connect(&m_player, &SoundPlayer::playingChanged, this, [this](bool playing) {
        if (!playing && !m_synthesizing)
            emit didFinishSpeaking();
    });
}

SpeechSynthesizer::~SpeechSynthesizer()
{
    stopSpeaking();
    m_watcher.waitForFinished();
}

void SpeechSynthesizer::startSpeaking(const QString &text, const QString &voice, double rate, double volume)
{
    stopSpeaking();
    m_watcher.waitForFinished();
    m_stop = std::make_shared<std::atomic_bool>(false);
    m_synthesizing = true;
    m_watcher.setFuture(QtConcurrent::run(WorkerPool::pool(), [text, voice, rate, volume, stop = m_stop] {
        return std::make_shared<SpeechAudio>(SpeechEngine::shared().synthesize(text, voice, rate, volume, stop.get()));
    }));
}

void SpeechSynthesizer::onSpoken()
{
    m_synthesizing = false;
    const std::shared_ptr<SpeechAudio> audio = m_watcher.result();
    const QString path = m_folder.filePath(QStringLiteral("speech-%1.wav").arg(++m_serial));
    if (!audio || !audio->ok || !AudioFile::writeSamples(path, audio->samples, audio->sampleRate)
        || !m_player.load(path)) {
        emit didFinishSpeaking();
        return;
    }
    m_player.play();
}

void SpeechSynthesizer::stopSpeaking()
{
    if (m_stop)
        *m_stop = true;
    m_player.stop();
}

bool SpeechSynthesizer::isSpeaking() const
{
    return m_synthesizing || m_player.isPlaying();
}
