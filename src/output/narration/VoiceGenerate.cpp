#include "output/narration/VoiceGenerate.h"

#include "foundation/AppResources.h"
#include "foundation/AuxArgumentString.h"
#include "platform/AudioFile.h"
#include "platform/SpeechEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QTemporaryFile>
#include <QThreadPool>
#include <QWaitCondition>
#include <atomic>

namespace {

// The narration's own workers: conversions run side by side, while the speech engine
// takes one text at a time.
QThreadPool *generationPool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        return p;
    }();
    return pool;
}

} // namespace

struct VoiceGenerate::State
{
    std::atomic_int result{0};
    std::atomic_bool stop{false};
    mutable QMutex mutex;
    QWaitCondition ended;
    QString error;

    void finish(int code, const QString &message = QString())
    {
        QMutexLocker lock(&mutex);
        if (!message.isEmpty())
            error = message;
        result = code;
        ended.wakeAll();
    }
};

VoiceGenerate::VoiceGenerate() : m_state(std::make_shared<State>())
{
}

VoiceGenerate::~VoiceGenerate() = default;

QString VoiceGenerate::audioToolPath()
{
    return AppResources::helperProgramPath() + QStringLiteral("/audiotool");
}

QString VoiceGenerate::audioToolArgument(const QString &input, const QString &output)
{
    return QStringList{QStringLiteral("--alt-preset"), QStringLiteral("cbr"), QStringLiteral("128"),
                       QStringLiteral("i=") + AuxArgumentString::escape(input),
                       QStringLiteral("o=") + AuxArgumentString::escape(output), QStringLiteral("--silent")}
        .join(QLatin1Char('|'));
}

int VoiceGenerate::result() const
{
    return m_state->result.load();
}

bool VoiceGenerate::hasFailed() const
{
    const int code = result();
    return code == NothingToSpeak || (code & (SpeechError | ConversionFailed)) != 0;
}

QString VoiceGenerate::errorString() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->error;
}

bool VoiceGenerate::waitForFinished(int msecs) const
{
    QMutexLocker lock(&m_state->mutex);
    if (m_state->result != Running)
        return true;
    m_state->ended.wait(&m_state->mutex, QDeadlineTimer(msecs));
    return m_state->result != Running;
}

void VoiceGenerate::stopSpeech()
{
    m_state->stop = true;
}

void VoiceGenerate::speakToFile()
{
    if (isRunning())
        return;
    m_state = std::make_shared<State>();
    if (m_text.trimmed().isEmpty() || m_target.isEmpty()) {
        m_state->finish(NothingToSpeak);
        return;
    }
    const QString folder = QFileInfo(m_target).absolutePath();
    QDir().mkpath(folder);
    QTemporaryFile temporary(folder + QStringLiteral("/tmpSpeechFile-XXXXXX.aif"));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        m_state->finish(Running | ConversionFailed,
                        QStringLiteral("cannot write in %1: %2").arg(folder, temporary.errorString()));
        return;
    }
    const QString speech = temporary.fileName();
    temporary.close();
    m_state->result = Running;

    generationPool()->start([state = m_state, voice = m_voice, text = m_text, target = m_target, speech] {
        const auto end = [&](int code, const QString &message = QString()) {
            QFile::remove(speech);
            state->finish(code, message);
        };
        const SpeechAudio audio =
            SpeechEngine::shared().synthesize(text, voice.identifier(), voice.rate(), voice.volume(), &state->stop);
        if (audio.stopped || state->stop)
            return end(Stopped);
        if (!audio.ok)
            return end(Running | SpeechError, audio.error);
        QString error;
        if (!AudioFile::writeSamples(speech, audio.samples, audio.sampleRate, &error))
            return end(Running | ConversionFailed, error);

        QProcess tool;
        tool.setProgram(audioToolPath());
        tool.setArguments({audioToolArgument(speech, target)});
        tool.start();
        if (!tool.waitForStarted())
            return end(Running | ConversionFailed,
                       QStringLiteral("cannot start %1: %2").arg(tool.program(), tool.errorString()));
        while (!tool.waitForFinished(100)) {
            if (tool.state() == QProcess::NotRunning)
                break;
            if (state->stop) {
                tool.kill();
                tool.waitForFinished();
                QFile::remove(target + QStringLiteral(".part"));
                return end(Stopped);
            }
        }
        const QString said = QString::fromLocal8Bit(tool.readAllStandardError()).trimmed();
        if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0 || !QFileInfo(target).isFile())
            return end(Running | ConversionFailed,
                       said.isEmpty() ? QStringLiteral("the MP3 file could not be made") : said);
        end(Finished);
    });
}
