#pragma once
// A snapshot of an SWF page: the movie is played by the SWF player (Ruffle) in a web
// view that is never shown on screen, served by a server of this process on 127.0.0.1
// (the player's WebAssembly is refused from file://). Once the movie has drawn its
// first frames, the player's canvas, at the movie's own proportions, is fitted into
// the snapshot's size on white.

#include <QSize>
#include <QString>

namespace MovieSnapshot {

enum class Result {
    Written,
    NotAMovie,  // missing, empty or not an SWF file (checked before any player starts)
    NoPlayer,   // the player is missing, cannot start, or drew nothing in time
    WriteFailed,
};

// Checks the movie's header: "FWS", "CWS" or "ZWS", a version and a length that covers
// the header. Cheap: run it before starting the web engine.
bool looksLikeMovie(const QString &path);

// Where the player is looked for ("ruffle/ruffle.js" below the resources).
QString playerFolder();

// Writes the JPEG snapshot of movie into outputFile, giving up after timeLimitMs.
// Needs a QApplication; the reason of a failure goes to *error.
Result renderToFile(const QString &movie, const QString &outputFile, const QSize &size, int timeLimitMs,
                    QString *error);

} // namespace MovieSnapshot
