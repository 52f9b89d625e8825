#include "MovieSnapshot.h"

#include "foundation/AppResources.h"
#include "publishing/PageSnapshot.h"
#include "shell/PreviewServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QtEndian>

namespace MovieSnapshot {

namespace {

// The page that plays the movie: the player's box takes the movie's proportions within
// the snapshot's size and the movie draws its own background. snapState turns "sized"
// once the movie has its size, "drawn" a few frames later, or "failed".
const char *const kPage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8">
<style>html, body { margin: 0; overflow: hidden; background: #FFFFFF; } #slot { position: absolute; left: 0; top: 0; }</style>
</head><body><div id="slot"></div>
<script>window.RufflePlayer = { config: { publicPath: new URL('ruffle/', document.baseURI).href } };</script>
<script src="ruffle/ruffle.js"></script>
<script>
var snapState = 'loading';
function play(width, height) {
  var slot = document.getElementById('slot');
  slot.style.width = width + 'px';
  slot.style.height = height + 'px';
  if (!window.RufflePlayer || typeof window.RufflePlayer.newest !== 'function') { snapState = 'failed'; return; }
  var player = window.RufflePlayer.newest().createPlayer();
  player.style.width = '100%';
  player.style.height = '100%';
  player.addEventListener('loadedmetadata', function () {
    snapState = 'sized';
    var meta = player.ruffle().metadata;
    if (meta && meta.width > 0 && meta.height > 0) {
      var scale = Math.min(width / meta.width, height / meta.height);
      slot.style.width = Math.max(1, Math.round(meta.width * scale)) + 'px';
      slot.style.height = Math.max(1, Math.round(meta.height * scale)) + 'px';
    }
    setTimeout(function () {
      requestAnimationFrame(function () { requestAnimationFrame(function () { snapState = 'drawn'; }); });
    }, 300);
  });
  slot.appendChild(player);
  player.ruffle().load({
    url: 'page.swf', autoplay: 'on', wmode: 'window', letterbox: 'off', preferredRenderer: 'canvas',
    splashScreen: false, unmuteOverlay: 'hidden', contextMenu: 'off', allowScriptAccess: false,
    allowNetworking: 'none', openUrlMode: 'deny', showSwfDownload: false, warnOnUnsupportedContent: false,
    polyfills: false, logLevel: 'error'
  }).catch(function () { snapState = 'failed'; });
}
function grab() {
  var player = document.querySelector('#slot > *');
  var canvas = player && player.shadowRoot && player.shadowRoot.querySelector('canvas');
  return canvas && canvas.width > 0 && canvas.height > 0 ? canvas.toDataURL('image/png') : '';
}
</script></body></html>
)";

// Keeps the first error the page or the player reports. The player writes its errors
// as styled log lines ("%cERROR%c <where>%c <text>" followed by the styles).
class SnapPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;
    QString firstError;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int,
                                  const QString &) override
    {
        const bool playerError = message.startsWith(QLatin1String("%cERROR%c"));
        if (!firstError.isEmpty() || (level != ErrorMessageLevel && !playerError))
            return;
        QString text = playerError ? message.mid(message.lastIndexOf(QLatin1String("%c")) + 2) : message;
        for (const char *style : {" color:", " log.target"})
            text = text.section(QLatin1String(style), 0, 0);
        firstError = text.trimmed().isEmpty() ? message : text.trimmed();
    }
};

class Deadline
{
public:
    explicit Deadline(int limitMs) : m_limit(limitMs) { m_clock.start(); }
    bool passed() const { return m_clock.elapsed() >= m_limit; }
    int left() const { return int(std::max<qint64>(1, m_limit - m_clock.elapsed())); }

private:
    QElapsedTimer m_clock;
    int m_limit;
};

// Runs script in page and waits, the event loop running, for its answer or the deadline.
QVariant answer(QWebEnginePage *page, const QString &script, const Deadline &deadline)
{
    QVariant result;
    bool done = false;
    QEventLoop wait;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
        wait.quit();
    });
    QTimer::singleShot(deadline.left(), &wait, &QEventLoop::quit);
    if (!done)
        wait.exec();
    return result;
}

void pause(int ms)
{
    QEventLoop wait;
    QTimer::singleShot(ms, &wait, &QEventLoop::quit);
    wait.exec();
}

Result fail(Result result, QString *error, const QString &message)
{
    if (error)
        *error = message;
    return result;
}

} // namespace

bool looksLikeMovie(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(8);
    if (head.size() < 8 || !(head.startsWith("FWS") || head.startsWith("CWS") || head.startsWith("ZWS")))
        return false;
    // The length counts the uncompressed movie, header included.
    return head.at(3) != 0 && qFromLittleEndian<quint32>(head.constData() + 4) > 8;
}

QString playerFolder()
{
    return AppResources::resourcePath(QStringLiteral("ruffle"));
}

Result renderToFile(const QString &movie, const QString &outputFile, const QSize &size, int timeLimitMs,
                    QString *error)
{
    if (!looksLikeMovie(movie))
        return fail(Result::NotAMovie, error, QStringLiteral("not an SWF movie: %1").arg(movie));
    if (!QFileInfo(QDir(playerFolder()).filePath(QStringLiteral("ruffle.js"))).isFile())
        return fail(Result::NoPlayer, error, QStringLiteral("the SWF player is missing from %1").arg(playerFolder()));

    // The server's folder holds the page and a copy of the movie only; the player is
    // served from the resources.
    QTemporaryDir work;
    QSaveFile page(work.filePath(QStringLiteral("index.html")));
    if (!work.isValid() || !QFile::copy(movie, work.filePath(QStringLiteral("page.swf")))
        || !page.open(QIODevice::WriteOnly) || page.write(kPage) < 0 || !page.commit())
        return fail(Result::WriteFailed, error, QStringLiteral("cannot prepare the player's page"));

    const Deadline deadline(timeLimitMs);
    PreviewServer server;
    server.setDocumentRoot(work.path());
    server.addFolder(QStringLiteral("ruffle"), playerFolder());
    if (!server.start())
        return fail(Result::NoPlayer, error, QStringLiteral("cannot serve the player: %1").arg(server.errorString()));

    // Off the record: snapshots running side by side share no profile on disk.
    QWebEngineProfile profile;
    SnapPage snapPage(&profile);
    snapPage.settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    QWebEngineView view;
    view.setPage(&snapPage);
    // Drawn, never shown: the view gets the snapshot's size in pixels.
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(size);
    view.show();

    bool loaded = false;
    {
        QEventLoop loading;
        QObject::connect(&snapPage, &QWebEnginePage::loadFinished, &loading, [&](bool ok) {
            loaded = ok;
            loading.quit();
        });
        QTimer::singleShot(deadline.left(), &loading, &QEventLoop::quit);
        snapPage.load(server.baseUrl().resolved(QUrl(QStringLiteral("index.html"))));
        loading.exec();
    }
    if (!loaded)
        return fail(Result::NoPlayer, error, QStringLiteral("the player's page did not load"));

    answer(&snapPage, QStringLiteral("play(%1, %2)").arg(size.width()).arg(size.height()), deadline);
    // An error before the movie has its size (a movie the player cannot read) ends the
    // wait; later ones (the movie's own scripts) do not.
    QString state;
    while (!deadline.passed()) {
        state = answer(&snapPage, QStringLiteral("snapState"), deadline).toString();
        if (state != QLatin1String("loading") && state != QLatin1String("sized"))
            break;
        if (state == QLatin1String("loading") && !snapPage.firstError.isEmpty()) {
            state = QStringLiteral("failed");
            break;
        }
        pause(50);
    }
    const QString data =
        state == QLatin1String("drawn") ? answer(&snapPage, QStringLiteral("grab()"), deadline).toString() : QString();
    const qsizetype comma = data.indexOf(QLatin1Char(','));
    const QImage picture =
        comma > 0 ? QImage::fromData(QByteArray::fromBase64(data.mid(comma + 1).toLatin1()), "PNG") : QImage();
    if (picture.isNull()) {
        const QString why = deadline.passed() ? QStringLiteral("the movie was not drawn within %1 ms").arg(timeLimitMs)
                                              : QStringLiteral("the player could not draw the movie");
        return fail(Result::NoPlayer, error,
                    snapPage.firstError.isEmpty() ? why : why + QStringLiteral(": ") + snapPage.firstError);
    }
    if (PageSnapshot::writeJpeg(PageSnapshot::placed(picture, size), outputFile) != PageSnapshot::Status::Written)
        return fail(Result::WriteFailed, error, QStringLiteral("cannot write %1").arg(outputFile));
    return Result::Written;
}

} // namespace MovieSnapshot
