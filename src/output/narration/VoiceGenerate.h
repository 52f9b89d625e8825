#pragma once
// Renders a text into an MP3 file: the speech engine speaks it into a temporary AIFF
// file beside the target, and the helper program "audiotool" turns that into the MP3.
// The work runs in the background; the owner polls result().
//
// result(): 0 before the start; Running (1) while speaking or converting; Finished (3)
// once the MP3 is in place; NothingToSpeak (128) for an empty text; Running with
// SpeechError (64) or ConversionFailed (32) when that step failed (errorString() says
// why); Stopped (256) after stopSpeech(). The target is replaced only by a complete
// MP3: a failed or stopped generation leaves an older file as it was. Every generation
// has a temporary file of its own, removed when it ends.

#include "output/narration/VoiceAttributes.h"

#include <QString>
#include <memory>

class VoiceGenerate
{
public:
    enum Result {
        Running = 1,
        Spoken = 2,
        Finished = Running | Spoken,
        ConversionFailed = 32,
        SpeechError = 64,
        NothingToSpeak = 128,
        Stopped = 256,
    };

    VoiceGenerate();
    // A generation still running goes on to its end.
    ~VoiceGenerate();
    VoiceGenerate(const VoiceGenerate &) = delete;
    VoiceGenerate &operator=(const VoiceGenerate &) = delete;

    void setVoiceEnginerInfo(const VoiceAttributes &voice) { m_voice = voice; }
    VoiceAttributes voiceEnginerInfo() const { return m_voice; }
    void setStringToSpeech(const QString &text) { m_text = text; }
    QString stringToSpeech() const { return m_text; }
    void setSaveToFile(const QString &path) { m_target = path; }
    QString saveToFile() const { return m_target; }

    // Starts the generation (see above); returns at once. Does nothing while one runs.
    void speakToFile();
    // Stops a running generation.
    void stopSpeech();

    int result() const;
    bool isRunning() const { return result() == Running; }
    bool isFinished() const { return result() == Finished; }
    bool hasFailed() const;
    QString errorString() const;
    // Waits up to msecs for the end; true when the generation is not running.
    bool waitForFinished(int msecs = 60000) const;

    // The helper program and its argument string for a conversion.
    static QString audioToolPath();
    static QString audioToolArgument(const QString &input, const QString &output);

private:
    struct State;
    std::shared_ptr<State> m_state;
    VoiceAttributes m_voice;
    QString m_text;
    QString m_target;
};
