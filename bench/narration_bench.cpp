// Measures narration: a spread's text spoken into an MP3 file (speech, then the
// "audiotool" conversion), and 100 spreads generated at once, with the cores used.
//
//   narration_bench [--spreads N] [--words N]
//
// The speech engine is one instance per process and takes one text at a time, while
// the conversions run side by side in helper processes. The last figure shows what
// generation in several processes (one speech engine each) would give.
#include "output/narration/VoiceAttributes.h"
#include "output/narration/VoiceGenerate.h"
#include "platform/AudioFile.h"
#include "platform/SpeechEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

double cpuSeconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

QString spreadText(int spread, int words)
{
    static const char *const vocabulary[] = {"the", "fox", "reads", "a", "book", "about", "rivers", "and",
                                             "mountains", "while", "rain", "falls", "on", "quiet", "village",
                                             "roofs", "every", "evening", "before", "supper"};
    QStringList list;
    for (int i = 0; i < words; ++i)
        list << QString::fromLatin1(vocabulary[(spread * 7 + i * 3) % 20]);
    return QStringLiteral("Spread %1. ").arg(spread) + list.join(QLatin1Char(' ')) + QLatin1Char('.');
}

VoiceAttributes voice()
{
    VoiceAttributes v = VoiceAttributes::initWithIdentifier(QStringLiteral("gmw/en"));
    return v.identifier().isEmpty() ? VoiceAttributes::availableVoices().value(0) : v;
}

// Generates spreads first, first + step, ... below count into folder, all started at once.
int generate(const QString &folder, int first, int step, int count, int words)
{
    std::vector<std::unique_ptr<VoiceGenerate>> running;
    for (int i = first; i < count; i += step) {
        auto g = std::make_unique<VoiceGenerate>();
        g->setVoiceEnginerInfo(voice());
        g->setStringToSpeech(spreadText(i, words));
        g->setSaveToFile(folder + QStringLiteral("/%1.mp3").arg(i));
        g->speakToFile();
        running.push_back(std::move(g));
    }
    int failed = 0;
    for (auto &g : running) {
        g->waitForFinished(600000);
        if (!g->isFinished())
            ++failed;
    }
    return failed;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("spreads"), QStringLiteral("spreads of the batch"), QStringLiteral("n"), QStringLiteral("100")});
    parser.addOption({QStringLiteral("words"), QStringLiteral("words per spread"), QStringLiteral("n"), QStringLiteral("60")});
    parser.addOption({QStringLiteral("child"), QStringLiteral("(internal) first:step:folder"), QStringLiteral("share")});
    parser.process(app);
    const int spreads = std::max(1, parser.value(QStringLiteral("spreads")).toInt());
    const int words = std::max(1, parser.value(QStringLiteral("words")).toInt());
    if (parser.isSet(QStringLiteral("child"))) {
        const QStringList share = parser.value(QStringLiteral("child")).split(QLatin1Char(':'));
        return generate(share.value(2), share.value(0).toInt(), share.value(1).toInt(), spreads, words) == 0 ? 0 : 1;
    }
    if (!SpeechEngine::shared().isAvailable()) {
        std::fprintf(stderr, "%s\n", qPrintable(SpeechEngine::shared().errorString()));
        return 1;
    }
    QTemporaryDir dir;
    const int cores = QThread::idealThreadCount();
    std::printf("narration_bench: %d words per spread, %d cores\n", words, cores);

    // One spread, step by step (after a warm-up).
    SpeechEngine::shared().synthesize(spreadText(0, 5), voice().identifier(), 175, 1.0);
    QElapsedTimer clock;
    clock.start();
    const SpeechAudio audio = SpeechEngine::shared().synthesize(spreadText(1, words), voice().identifier(), 175, 1.0);
    const double speech = clock.nsecsElapsed() / 1e6;
    const QString wave = dir.filePath(QStringLiteral("one.aif")), mp3 = dir.filePath(QStringLiteral("one.mp3"));
    clock.restart();
    AudioFile::writeSamples(wave, audio.samples, audio.sampleRate);
    const double write = clock.nsecsElapsed() / 1e6;
    clock.restart();
    QProcess::execute(VoiceGenerate::audioToolPath(), {VoiceGenerate::audioToolArgument(wave, mp3)});
    const double convert = clock.nsecsElapsed() / 1e6;
    std::printf("one spread: %.1f s of speech; speech %.0f ms, AIFF %.0f ms, MP3 %.0f ms, total %.0f ms\n",
                audio.seconds(), speech, write, convert, speech + write + convert);

    // The batch in this process: one speech engine, conversions side by side.
    QDir().mkpath(dir.filePath(QStringLiteral("batch")));
    double cpu = cpuSeconds();
    clock.restart();
    const int failed = generate(dir.filePath(QStringLiteral("batch")), 0, 1, spreads, words);
    double wall = clock.nsecsElapsed() / 1e9;
    cpu = cpuSeconds() - cpu;
    std::printf("%d spreads in one process: %.2f s, %.0f ms per spread, %.2f cores busy on average%s\n", spreads, wall,
                1000 * wall / spreads, cpu / wall, failed ? " (some failed)" : "");

    // The batch shared among processes, each with its own speech engine.
    QDir().mkpath(dir.filePath(QStringLiteral("children")));
    cpu = cpuSeconds();
    clock.restart();
    std::vector<std::unique_ptr<QProcess>> children;
    for (int i = 0; i < cores; ++i) {
        auto child = std::make_unique<QProcess>();
        child->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--spreads"), QString::number(spreads), QStringLiteral("--words"),
                      QString::number(words), QStringLiteral("--child"),
                      QStringLiteral("%1:%2:%3").arg(i).arg(cores).arg(dir.filePath(QStringLiteral("children")))});
        children.push_back(std::move(child));
    }
    int childFailures = 0;
    for (auto &child : children) {
        child->waitForFinished(-1);
        childFailures += child->exitCode() != 0;
    }
    wall = clock.nsecsElapsed() / 1e9;
    cpu = cpuSeconds() - cpu;
    std::printf("%d spreads in %d processes: %.2f s, %.0f ms per spread, %.2f cores busy on average%s\n", spreads, cores,
                wall, 1000 * wall / spreads, cpu / wall, childFailures ? " (some failed)" : "");
    return 0;
}
