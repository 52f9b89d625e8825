// Turns a sound file into an MP3 file. It is started with one argument string:
//
//   audiotool "--alt-preset|cbr|128|i=<input>|o=<output>|--silent"
//
// Items are joined by "|" ("|" and "=" inside paths are written ":7C:" and ":3D:").
//   --alt-preset cbr N   constant bit rate of N kbit/s (the default: cbr 128)
//   --alt-preset N       average bit rate of N kbit/s
//   i=PATH               the sound to read (anything libsndfile reads: AIFF, WAV, ...)
//   o=PATH               the MP3 to write; it appears only once complete
//   --silent             nothing on standard output
// Exit status: 0 written, 1 bad arguments, 2 the input cannot be read, 3 the MP3
// cannot be made or written.
#include "foundation/AuxArgumentString.h"

#include <QFile>
#include <QString>
#include <cstdio>
#include <lame/lame.h>
#include <sndfile.h>
#include <vector>

namespace {

struct Options
{
    QString input, output;
    int bitRate = 128;
    bool constant = true;
    bool silent = false;
};

bool readBitRate(const QString &text, int *rate)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 8 || value > 320)
        return false;
    *rate = value;
    return true;
}

bool parseOptions(const QString &argument, Options *options, QString *error)
{
    const QList<AuxArgumentString::Item> items = AuxArgumentString::parse(argument).items();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString key = items.at(i).first;
        if (key == QLatin1String("i"))
            options->input = items.at(i).second;
        else if (key == QLatin1String("o"))
            options->output = items.at(i).second;
        else if (key == QLatin1String("--silent"))
            options->silent = true;
        else if (key == QLatin1String("--alt-preset")) {
            const QString next = i + 1 < items.size() ? items.at(i + 1).first : QString();
            if (next == QLatin1String("cbr")) {
                if (i + 2 >= items.size() || !readBitRate(items.at(i + 2).first, &options->bitRate)) {
                    *error = QStringLiteral("--alt-preset cbr needs a bit rate from 8 to 320");
                    return false;
                }
                options->constant = true;
                i += 2;
            } else if (readBitRate(next, &options->bitRate)) {
                options->constant = false;
                i += 1;
            } else {
                *error = QStringLiteral("--alt-preset needs \"cbr\" and a bit rate, or a bit rate");
                return false;
            }
        } else {
            *error = QStringLiteral("unknown item \"%1\"").arg(key);
            return false;
        }
    }
    if (options->input.isEmpty() || options->output.isEmpty()) {
        *error = QStringLiteral("i= and o= are needed");
        return false;
    }
    return true;
}

struct Encoder
{
    lame_global_flags *flags = lame_init();
    ~Encoder() { lame_close(flags); }
};

int encode(const Options &options, QString *error)
{
    SF_INFO info{};
    SNDFILE *in = sf_open(QFile::encodeName(options.input).constData(), SFM_READ, &info);
    if (!in) {
        *error = QStringLiteral("cannot read %1: %2").arg(options.input, QString::fromUtf8(sf_strerror(nullptr)));
        return 2;
    }
    if (info.channels < 1 || info.channels > 2 || info.samplerate <= 0) {
        sf_close(in);
        *error = QStringLiteral("%1 is not a mono or stereo sound").arg(options.input);
        return 2;
    }

    Encoder encoder;
    lame_set_in_samplerate(encoder.flags, info.samplerate);
    lame_set_num_channels(encoder.flags, info.channels);
    lame_set_mode(encoder.flags, info.channels == 1 ? MONO : JOINT_STEREO);
    if (options.constant) {
        lame_set_VBR(encoder.flags, vbr_off);
        lame_set_brate(encoder.flags, options.bitRate);
    } else {
        lame_set_VBR(encoder.flags, vbr_abr);
        lame_set_VBR_mean_bitrate_kbps(encoder.flags, options.bitRate);
    }
    lame_set_quality(encoder.flags, 2);
    if (lame_init_params(encoder.flags) < 0) {
        sf_close(in);
        *error = QStringLiteral("the MP3 encoder refused the settings");
        return 3;
    }

    // Written beside the target and moved into place only when complete.
    const QString partial = options.output + QStringLiteral(".part");
    FILE *out = std::fopen(QFile::encodeName(partial).constData(), "wb+");
    if (!out) {
        sf_close(in);
        *error = QStringLiteral("cannot write %1").arg(partial);
        return 3;
    }
    constexpr int kFrames = 8192;
    std::vector<short> pcm(size_t(kFrames) * info.channels);
    std::vector<unsigned char> mp3(size_t(1.25 * kFrames + 7200));
    bool ok = true;
    for (;;) {
        const sf_count_t frames = sf_readf_short(in, pcm.data(), kFrames);
        if (frames <= 0)
            break;
        const int bytes = info.channels == 1
            ? lame_encode_buffer(encoder.flags, pcm.data(), nullptr, int(frames), mp3.data(), int(mp3.size()))
            : lame_encode_buffer_interleaved(encoder.flags, pcm.data(), int(frames), mp3.data(), int(mp3.size()));
        if (bytes < 0 || std::fwrite(mp3.data(), 1, size_t(bytes), out) != size_t(bytes)) {
            ok = false;
            break;
        }
    }
    sf_close(in);
    if (ok) {
        const int bytes = lame_encode_flush(encoder.flags, mp3.data(), int(mp3.size()));
        ok = bytes >= 0 && std::fwrite(mp3.data(), 1, size_t(bytes), out) == size_t(bytes);
    }
    if (ok)
        lame_mp3_tags_fid(encoder.flags, out); // the frame count players read the length from
    ok = std::fflush(out) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        QFile::remove(partial);
        *error = QStringLiteral("cannot write %1").arg(partial);
        return 3;
    }
    QFile::remove(options.output);
    if (!QFile::rename(partial, options.output)) {
        QFile::remove(partial);
        *error = QStringLiteral("cannot put %1 in place").arg(options.output);
        return 3;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    QString error;
    if (argc != 2 || !parseOptions(QString::fromLocal8Bit(argv[1]), &options, &error)) {
        std::fprintf(stderr, "audiotool: %s\nusage: audiotool \"--alt-preset|cbr|128|i=IN|o=OUT.mp3|--silent\"\n",
                     qPrintable(error.isEmpty() ? QStringLiteral("one argument string is needed") : error));
        return 1;
    }
    const int status = encode(options, &error);
    if (status != 0) {
        std::fprintf(stderr, "audiotool: %s\n", qPrintable(error));
        return status;
    }
    if (!options.silent)
        std::printf("audiotool: wrote %s\n", qPrintable(options.output));
    return 0;
}
