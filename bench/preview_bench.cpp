// Measures the live preview: imports a PDF into a new book as the window does, then
// rebuilds its preview several times after a design change, and prints the time the
// window's thread spends on each rebuild (taking the copies of the book) and the time
// of the rebuild on its worker thread.
//
//   preview_bench [--pdf FILE] [--runs N] [--preloader NAME]
//
// Without --pdf the demo book is used. --preloader gives the book an installed
// preloader, so it carries the SWF player (some 30 MB) as well.

#include "foundation/AppResources.h"
#include "pages/PageImport.h"
#include "project/BookDocument.h"
#include "shell/BookImportTask.h"
#include "shell/BookSession.h"
#include "shell/EnginePreviewBuilder.h"
#include "templates/FlashTemplate.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("PDF to import"), QStringLiteral("file")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("rebuilds to time"), QStringLiteral("n"), QStringLiteral("5")});
    parser.addOption({QStringLiteral("preloader"), QStringLiteral("installed preloader of the book"), QStringLiteral("name")});
    parser.process(app);
    const QString pdf = parser.isSet(QStringLiteral("pdf")) ? parser.value(QStringLiteral("pdf"))
                                                             : AppResources::resourcePath(QStringLiteral("demo/Demo.pdf"));
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());

    QString error;
    std::unique_ptr<BookSession> session = BookSession::createForImport(&error);
    if (!session) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ImportParament parament;
    parament.sourceFiles = {pdf};
    parament.iQualityLevel = 1;
    QElapsedTimer clock;
    clock.start();
    BookImportTask task(parament, session->importWorkspace());
    QSignalSpy finished(&task, &BookImportTask::finished);
    task.start();
    if (!finished.wait(600000) || !finished.first().first().toBool()) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(task.result().message));
        return 1;
    }
    session->adoptImport(task.pageImport(), parament);
    std::printf("import: %d pages in %lld ms\n", session->pageCount(), clock.elapsed());

    if (parser.isSet(QStringLiteral("preloader")))
        session->document().flashTmpl()->setPropertyValue(QStringLiteral("tmplPreloader"), parser.value(QStringLiteral("preloader")));
    EnginePreviewBuilder builder([&] { return EnginePreviewBuilder::Book{&session->document(), QStringLiteral("Bench")}; });
    QTemporaryDir preview;
    QList<qint64> prepareTimes, buildTimes;
    for (int run = 0; run <= runs; ++run) {
        session->document().flashTmpl()->setPropertyValue(QStringLiteral("backgroundColor"),
                                                          QStringLiteral("0x%1").arg(0x102030 + run * 0x010101, 6, 16, QLatin1Char('0')));
        clock.restart();
        std::unique_ptr<PreviewJob> job = builder.prepare(-1, &error);
        const qint64 prepared = clock.elapsed();
        if (!job) {
            std::fprintf(stderr, "prepare failed: %s\n", qPrintable(error));
            return 1;
        }
        std::atomic_bool stop{false};
        clock.restart();
        const PreviewBuildResult result = job->run(preview.path(), stop);
        const qint64 built = clock.elapsed();
        if (!result.ok()) {
            std::fprintf(stderr, "rebuild failed: %s\n", qPrintable(result.message));
            return 1;
        }
        const char *label = run == 0 ? "first preview" : "rebuild";
        std::printf("%s: window thread %lld ms, worker %lld ms\n", label, prepared, built);
        if (run > 0) {
            prepareTimes << prepared;
            buildTimes << built;
        }
    }
    std::sort(prepareTimes.begin(), prepareTimes.end());
    std::sort(buildTimes.begin(), buildTimes.end());
    std::printf("median of %d rebuilds (%d pages): window thread %lld ms, worker %lld ms (%.1f pages/s)\n", runs,
                session->pageCount(), prepareTimes.at(runs / 2), buildTimes.at(runs / 2),
                buildTimes.at(runs / 2) > 0 ? session->pageCount() * 1000.0 / buildTimes.at(runs / 2) : 0.0);
    const QString player = preview.filePath(QStringLiteral("files/lib/ruffle"));
    std::printf("the preview carries the SWF player: %s\n", QFileInfo(player).isDir() ? "yes" : "no");
    return 0;
}
