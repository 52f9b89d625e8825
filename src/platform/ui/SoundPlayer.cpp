#include "platform/ui/SoundPlayer.h"

#include "platform/AudioFile.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace {

// Qt's GStreamer backend crashes when the GStreamer plug-ins are not installed; the
// FFmpeg backend needs nothing beyond Qt Multimedia. Chosen before the first player.
QMediaPlayer *newPlayer(QObject *parent)
{
    static const bool chosen = [] {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "ffmpeg");
        return true;
    }();
    Q_UNUSED(chosen);
    return new QMediaPlayer(parent);
}

} // namespace

SoundPlayer::SoundPlayer(QObject *parent)
    : QObject(parent), m_player(newPlayer(this)), m_output(new QAudioOutput(this))
{
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState state) { emit playingChanged(state == QMediaPlayer::PlayingState); });
}

SoundPlayer::~SoundPlayer()
{
    m_player->stop();
}

bool SoundPlayer::load(const QString &path)
{
    stop();
    const double seconds = AudioFile::duration(path);
    if (seconds < 0) {
        m_file.clear();
        m_duration = 0.0;
        m_player->setSource(QUrl());
        return false;
    }
    m_file = path;
    m_duration = seconds;
    m_player->setSource(QUrl::fromLocalFile(path));
    return true;
}

void SoundPlayer::play()
{
    if (!m_file.isEmpty())
        m_player->play();
}

void SoundPlayer::stop()
{
    m_player->stop();
}

bool SoundPlayer::isPlaying() const
{
    return m_player->playbackState() == QMediaPlayer::PlayingState;
}

double SoundPlayer::currentTime() const
{
    return m_player->position() / 1000.0;
}

void SoundPlayer::setCurrentTime(double seconds)
{
    m_player->setPosition(qint64(std::max(0.0, std::min(seconds, m_duration)) * 1000.0));
}

void SoundPlayer::setVolume(double volume)
{
    m_output->setVolume(float(std::clamp(volume, 0.0, 1.0)));
}
