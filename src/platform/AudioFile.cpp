#include "platform/AudioFile.h"

#include <QFile>
#include <sndfile.h>

namespace AudioFile {

double duration(const QString &path)
{
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return -1.0;
    double seconds = -1.0;
    if (info.samplerate > 0 && info.frames >= 0 && info.frames != SF_COUNT_MAX)
        seconds = double(info.frames) / info.samplerate;
    sf_close(file);
    return seconds;
}

bool writeSamples(const QString &path, const std::vector<short> &samples, int sampleRate, QString *error)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = (path.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive) ? SF_FORMAT_WAV : SF_FORMAT_AIFF)
        | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file) {
        if (error)
            *error = QString::fromUtf8(sf_strerror(nullptr));
        return false;
    }
    const sf_count_t count = sf_count_t(samples.size());
    const bool ok = sf_write_short(file, samples.data(), count) == count;
    if (!ok && error)
        *error = QString::fromUtf8(sf_strerror(file));
    if (sf_close(file) != 0 && ok) {
        if (error)
            *error = QStringLiteral("cannot finish %1").arg(path);
        return false;
    }
    return ok;
}

} // namespace AudioFile
