#pragma once
// The speaking assistant's play options: automatic play (0: each spread's sound plays
// when the spread opens, then the book turns on after a pause) or manual play (1: a
// sound plays when the reader asks), and the two pauses in milliseconds.

#include <QString>
#include <QVariantMap>

class AssistantSpeechItem
{
public:
    enum PlayMode { Automatic = 0, Manual = 1 };

    // Automatic play, 3000 ms after a sound, 3000 ms on a spread without sound.
    AssistantSpeechItem() = default;

    int playMode() const { return m_playMode; }
    void setPlayMode(int mode) { m_playMode = mode; }
    // Pause after a spread's sound has ended.
    int defaultPauseTimeWhenFinished() const { return m_pauseWhenFinished; }
    void setDefaultPauseTimeWhenFinished(int ms) { m_pauseWhenFinished = ms; }
    // Pause on a spread that has no sound.
    int defaultPauseTimeWhenEmpty() const { return m_pauseWhenEmpty; }
    void setDefaultPauseTimeWhenEmpty(int ms) { m_pauseWhenEmpty = ms; }

    // ".AssistantSpeechOptions.plist" in the user's extra-data folder.
    static QString settingFile();
    // Writes the current values when the file does not exist; otherwise takes "mode",
    // "delay" and "mute" from it (a missing or non-numeric value keeps the field).
    void loadSettings();
    // Writes {"mode", "delay", "mute"} as numbers, atomically.
    bool saveSettings() const;

    QVariantMap toDictionary() const;
    // Takes the numeric values present in dictionary; others keep the current values.
    void readDictionary(const QVariantMap &dictionary);

    bool operator==(const AssistantSpeechItem &other) const = default;

private:
    int m_playMode = Automatic;
    int m_pauseWhenFinished = 3000;
    int m_pauseWhenEmpty = 3000;
};
