#pragma once
// The sound object of the narration windows: plays one sound file (Qt Multimedia).
// Its duration is read from the file (libsndfile), so it is known before playback.

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;

class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    explicit SoundPlayer(QObject *parent = nullptr);
    ~SoundPlayer() override;

    // Loads path (stopping what plays); false when it is not a readable sound.
    bool load(const QString &path);
    QString file() const { return m_file; }

    void play();
    void stop();
    bool isPlaying() const;

    // Seconds.
    double duration() const { return m_duration; }
    double currentTime() const;
    void setCurrentTime(double seconds);
    void setVolume(double volume);

signals:
    void playingChanged(bool playing);

private:
    QMediaPlayer *m_player;
    QAudioOutput *m_output;
    QString m_file;
    double m_duration = 0.0;
};
