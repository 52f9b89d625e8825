// Puts narration sounds into a written web book, as publishing does:
//
//   quorvel-narrate-book --book FOLDER --pages N --sound SPREAD=FILE ... [--manual]
//                        [--delay MS] [--mute MS]
//
// SPREAD counts from 0 (page 1 alone), FILE is an MP3 file.
#include "output/narration/BookNarrationWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Copies narration sounds into a written web book."));
    parser.addHelpOption();
    const QCommandLineOption book(QStringLiteral("book"), QStringLiteral("The book folder."), QStringLiteral("folder"));
    const QCommandLineOption pages(QStringLiteral("pages"), QStringLiteral("The page count."), QStringLiteral("n"));
    const QCommandLineOption sound(QStringLiteral("sound"), QStringLiteral("A spread's sound (repeatable)."),
                                   QStringLiteral("spread=file"));
    const QCommandLineOption manual(QStringLiteral("manual"), QStringLiteral("Play on request only."));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Pause after a sound (ms)."),
                                   QStringLiteral("ms"));
    const QCommandLineOption mute(QStringLiteral("mute"), QStringLiteral("Pause on a spread without sound (ms)."),
                                  QStringLiteral("ms"));
    parser.addOptions({book, pages, sound, manual, delay, mute});
    parser.process(app);

    QTextStream err(stderr);
    bool countOk = false;
    const int pageCount = parser.value(pages).toInt(&countOk);
    if (!parser.isSet(book) || !countOk || pageCount < 1) {
        err << "usage: quorvel-narrate-book --book FOLDER --pages N --sound SPREAD=FILE ... [--manual]"
               " [--delay MS] [--mute MS]\n";
        return 2;
    }
    GenerateAssistant assistant;
    assistant.setTotalPage(pageCount);
    assistant.fitResourceListToPages();
    for (const QString &item : parser.values(sound)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        bool ok = false;
        const int spread = item.left(eq).toInt(&ok);
        if (eq <= 0 || !ok || spread < 0 || spread >= assistant.resourceList().size()) {
            err << "a sound is written SPREAD=FILE with a spread of the book: " << item << "\n";
            return 2;
        }
        assistant.resourceList()[spread].setType(AssistantResourceItem::ImportedMp3);
        assistant.resourceList()[spread].setImportmp3File(item.mid(eq + 1));
    }
    AssistantSpeechItem &options = assistant.speechOptions();
    options.setPlayMode(parser.isSet(manual) ? AssistantSpeechItem::Manual : AssistantSpeechItem::Automatic);
    if (parser.isSet(delay))
        options.setDefaultPauseTimeWhenFinished(parser.value(delay).toInt());
    if (parser.isSet(mute))
        options.setDefaultPauseTimeWhenEmpty(parser.value(mute).toInt());

    BookNarrationWriter writer(assistant);
    if (!writer.writeToBook(parser.value(book))) {
        err << writer.errorString() << "\n";
        return 1;
    }
    QTextStream(stdout) << "sounds: " << writer.soundCount() << "\n";
    return 0;
}
