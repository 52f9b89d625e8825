// Measures the live preview as the window runs it: imports a PDF into a new book,
// shows its preview in a web view served by the preview server, then changes a
// design setting (the background colour) again and again and prints the time from
// each change to the web view's first repaint in the new colour (its pixels, read
// back), with the parts of it: the rebuild's start (the loop's wait for changes to
// settle), the window thread's copies, the rebuild on its worker, and the showing; and
// the size of the configuration the viewer reads before it starts.
//
// The changes take turns between the two ways the preview can show them, in pairs (the
// order turning round from pair to pair, so a machine that speeds up or slows down
// weighs on both alike):
//   in place  the viewer takes the new settings without a new load (what the window does);
//   reload    the anchor: the book loaded again after a rebuild that waited as long for
//             changes to settle as any other (how the window showed every change before).
//
//   QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a preview_bench [--pdf FILE] [--runs N] [--preloader NAME]
//
// Without --pdf the demo book is used. --preloader gives the book an installed
// preloader, so it carries the SWF player (some 30 MB) as well. Targets: in place, a
// median of at most 150 ms; the reload, 250 ms for a book of up to 200 pages, 300 ms
// for a larger one.

#include "foundation/AppResources.h"
#include "pages/PageImport.h"
#include "project/BookDocument.h"
#include "shell/BookImportTask.h"
#include "shell/BookSession.h"
#include "shell/EnginePreviewBuilder.h"
#include "shell/PreviewLoop.h"
#include "shell/PreviewServer.h"
#include "platform/ui/DragFileImport.h"
#include "shell/ui/PreviewPane.h"
#include "templates/FlashTemplate.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>

namespace {

// Milliseconds since the start, for the moments of each change.
QElapsedTimer g_clock;
double now()
{
    return g_clock.nsecsElapsed() / 1e6;
}

// Wraps the builder to note when the window thread's part of a rebuild begins and ends.
class TimedBuilder : public PreviewBuilder
{
public:
    explicit TimedBuilder(std::shared_ptr<PreviewBuilder> builder) : m_builder(std::move(builder)) {}
    std::unique_ptr<PreviewJob> prepare(int changeFlags, QString *error) override
    {
        prepareBegan = now();
        auto job = m_builder->prepare(changeFlags, error);
        prepared = now();
        return job;
    }
    double prepareBegan = 0, prepared = 0;

private:
    std::shared_ptr<PreviewBuilder> m_builder;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 && std::abs(a.blue() - b.blue()) <= 3;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    g_clock.start();
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("PDF to import"), QStringLiteral("file")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("pairs of changes to time"), QStringLiteral("n"), QStringLiteral("10")});
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
    QElapsedTimer clock;
    clock.start();
    BookImportTask task(parament, session->importWorkspace());
    QSignalSpy imported(&task, &BookImportTask::finished);
    task.start();
    if (!imported.wait(600000) || !imported.first().first().toBool()) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(task.result().message));
        return 1;
    }
    session->adoptImport(task.pageImport(), parament);
    std::printf("import:               %d pages in %lld ms\n", session->pageCount(), clock.elapsed());

    if (parser.isSet(QStringLiteral("preloader")))
        session->document().flashTmpl()->setPropertyValue(QStringLiteral("tmplPreloader"), parser.value(QStringLiteral("preloader")));
    // The window's parts: the loop with the program's builder, the server, the pane.
    QTemporaryDir folder;
    auto builder = std::make_shared<TimedBuilder>(std::make_shared<EnginePreviewBuilder>(
        [&] { return EnginePreviewBuilder::Book{&session->document(), QStringLiteral("Bench")}; }));
    PreviewLoop loop;
    loop.setBuilder(builder);
    loop.setPreviewFolder(folder.path());
    PreviewServer server;
    server.setDocumentRoot(folder.path());
    if (!server.start()) {
        std::fprintf(stderr, "preview server: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    PreviewPane pane;
    pane.resize(1280, 800);
    pane.show();
    int generation = 0;
    bool inPlace = false; // how the change being timed is shown
    double built = 0;     // when the last rebuild was done
    QObject::connect(&loop, &PreviewLoop::previewReady, &pane, [&](const QString &, const PreviewSettings &settings) {
        built = now();
        pane.setWrittenSettings(settings);
        if (!inPlace) {
            pane.showBook(server.baseUrl(), false, ++generation);
            return;
        }
        pane.applySettings(server.baseUrl(), [&](bool applied) {
            if (!applied) {
                std::fprintf(stderr, "the viewer did not take the settings in place\n");
                std::exit(1);
            }
        });
    });
    QObject::connect(&loop, &PreviewLoop::previewFailed, [](const QString &message) {
        std::fprintf(stderr, "rebuild failed: %s\n", qPrintable(message));
        std::exit(1);
    });

    FlashTemplate &tmpl = *session->document().flashTmpl();
    // The page tells when it has painted a frame after the viewer started, or after it
    // took new settings: it sets its title, which reaches the window without anyone
    // asking (asking, by reading the view's pixels again and again, would hold up the
    // window's thread that also serves the files).
    double painted = 0;
    QString paintedWhat;
    auto watchPaints = [&] {
        QWebEngineView *view = pane.webEngineView();
        if (!view || view->property("watched").toBool())
            return;
        view->setProperty("watched", true);
        QWebEngineScript script;
        script.setInjectionPoint(QWebEngineScript::DocumentReady);
        script.setWorldId(QWebEngineScript::MainWorld);
        script.setSourceCode(QStringLiteral(
            "(function () { var applied = 0;"
            " function paintedThen(what) { requestAnimationFrame(function () {"
            " requestAnimationFrame(function () { document.title = 'painted ' + what; }); }); }"
            " (function wait() { if (window.Quorvel && Quorvel.reader) {"
            " Quorvel.events.on('settings', function () { paintedThen('settings ' + (++applied)); });"
            " paintedThen(location.search); } else setTimeout(wait, 2); })(); })();"));
        view->page()->scripts().insert(script);
        QObject::connect(view, &QWebEngineView::titleChanged, [&](const QString &title) {
            if (title.startsWith(QLatin1String("painted "))) {
                painted = now();
                paintedWhat = title.mid(8);
            }
        });
    };
    // The colour of a pixel of the book's background, beside the book, in the view.
    auto backgroundPixel = [&]() -> QColor {
        QWebEngineView *view = pane.webEngineView();
        return view ? view->grab().toImage().pixelColor(8, 8) : QColor();
    };
    // Sets the colour, and answers the milliseconds until the view has painted the
    // book with it (or -1).
    double changed = 0;
    int appliedInPlace = 0; // settings the page on show took since it was loaded
    auto showColour = [&](const QColor &colour) -> double {
        changed = now();
        painted = 0;
        tmpl.setPropertyValue(QStringLiteral("backgroundColor"),
                              QStringLiteral("0x%1").arg(colour.rgb() & 0xFFFFFF, 6, 16, QLatin1Char('0')));
        loop.setPreviewChangeFlag(PreviewChange::Settings);
        const QString expected = inPlace ? QStringLiteral("settings %1").arg(appliedInPlace + 1)
                                         : QStringLiteral("?r=%1").arg(generation + 1);
        while (now() - changed < 20000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            watchPaints();
            if (painted > 0 && paintedWhat == expected) {
                const double ms = painted - changed;
                appliedInPlace = inPlace ? appliedInPlace + 1 : 0;
                // The frame painted then: its pixels have the colour.
                for (int tries = 0; tries < 50 && !near(backgroundPixel(), colour); ++tries)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                if (!near(backgroundPixel(), colour)) {
                    std::fprintf(stderr, "the view painted, but not the new colour\n");
                    return -1;
                }
                return ms;
            }
        }
        return -1;
    };

    const int settingsSettle = loop.settingsSettleInterval();
    // Shows the next colour one way or the other; false when it never showed.
    struct Figures
    {
        QList<double> shown, waits, prepared, builds, shows;
    } figures[2]; // [0] in place, [1] reload
    int changes = 0;
    auto timeChange = [&](bool place) -> bool {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 200); // the view settles
        inPlace = place;
        // The reload waited as long as the preview waited for any change before.
        loop.setSettingsSettleInterval(place ? settingsSettle : loop.settleInterval());
        const QColor colour = QColor::fromHsv((changes++ * 67) % 360, 160, 120);
        const int buildsBefore = loop.buildCount();
        const double ms = showColour(colour);
        if (ms < 0) {
            std::fprintf(stderr, "change %d never showed\n", changes);
            return false;
        }
        Figures &f = figures[place ? 0 : 1];
        f.shown << ms;
        f.waits << builder->prepareBegan - changed;
        f.prepared << builder->prepared - builder->prepareBegan;
        f.builds << built - builder->prepared;
        f.shows << changed + ms - built;
        std::printf("change %2d, %-9s %.0f ms (settle %.0f, copies %.1f, rebuild %.0f, %s %.0f; %lld rebuild)\n", changes,
                    place ? "in place:" : "reload:", ms, f.waits.last(), f.prepared.last(), f.builds.last(),
                    place ? "apply" : "reload", f.shows.last(), qint64(loop.buildCount() - buildsBefore));
        return true;
    };

    inPlace = false;
    const double firstShown = showColour(QColor(0x20, 0x30, 0x40));
    if (firstShown < 0) {
        std::fprintf(stderr, "the first preview never showed\n");
        return 1;
    }
    std::printf("first preview:        %.0f ms (rebuild %.0f ms)\n", firstShown, built - builder->prepared);
    QList<double> ratios; // in place / reload, pair by pair
    for (int pair = 0; pair < runs; ++pair) {
        const bool placeFirst = pair % 2 == 0;
        if (!timeChange(placeFirst) || !timeChange(!placeFirst))
            return 1;
        ratios << figures[0].shown.last() / figures[1].shown.last();
    }
    const Figures &a = figures[0];
    const Figures &b = figures[1];
    const double reloadTarget = session->pageCount() <= 200 ? 250 : 300;
    std::printf("median of %d pairs (%d pages), from the change to the repaint:\n", runs, session->pageCount());
    std::printf("  in place: %.0f ms (settle %.0f, copies %.1f, rebuild %.0f, apply %.0f), %.2f times the target of 150 ms\n",
                median(a.shown), median(a.waits), median(a.prepared), median(a.builds), median(a.shows), median(a.shown) / 150);
    std::printf("  reload:   %.0f ms (settle %.0f, copies %.1f, rebuild %.0f, reload %.0f), %.2f times its target of %.0f ms\n",
                median(b.shown), median(b.waits), median(b.prepared), median(b.builds), median(b.shows),
                median(b.shown) / reloadTarget, reloadTarget);
    std::printf("  in place against the reload: %.2f (median of the pairs' ratios; %.2f to %.2f)\n", median(ratios),
                *std::min_element(ratios.cbegin(), ratios.cend()), *std::max_element(ratios.cbegin(), ratios.cend()));
    std::printf("files/config.js:      %.1f KiB (what the viewer reads before it starts)\n",
                QFileInfo(QDir(folder.path()).filePath(QStringLiteral("files/config.js"))).size() / 1024.0);
    const QString player = QDir(folder.path()).filePath(QStringLiteral("files/lib/ruffle"));
    std::printf("the preview carries the SWF player: %s\n", QFileInfo(player).isDir() ? "yes" : "no");
    return 0;
}
