#pragma once
// Sound files through libsndfile: how long one plays (MP3, WAV, AIFF, ...), and
// samples written as a WAV or AIFF file.

#include <QString>
#include <vector>

namespace AudioFile {

// The playing time in seconds; -1 when the file cannot be read as sound.
double duration(const QString &path);

// Writes 16-bit mono samples as a WAV file (a ".wav" path) or an AIFF file (any other
// path). False with *error when it cannot.
bool writeSamples(const QString &path, const std::vector<short> &samples, int sampleRate, QString *error = nullptr);

} // namespace AudioFile
