#pragma once
// Speaks a text aloud: the speech engine makes the sound on a worker, then it plays.
// isSpeaking() is true from startSpeaking() until the sound has ended or was stopped.

#include "platform/ui/SoundPlayer.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTemporaryDir>
#include <atomic>
#include <memory>

struct SpeechAudio;

class SpeechSynthesizer : public QObject
{
    Q_OBJECT
public:
    explicit SpeechSynthesizer(QObject *parent = nullptr);
    ~SpeechSynthesizer() override;

    // voice: an engine voice identifier; rate in words per minute; volume 0.0 to 1.0.
    void startSpeaking(const QString &text, const QString &voice, double rate, double volume);
    void stopSpeaking();
    bool isSpeaking() const;

signals:
    void didFinishSpeaking();

private:
    void onSpoken();

    SoundPlayer m_player;
    QTemporaryDir m_folder;
    QFutureWatcher<std::shared_ptr<SpeechAudio>> m_watcher;
    std::shared_ptr<std::atomic_bool> m_stop;
    bool m_synthesizing = false;
    int m_serial = 0;
};
