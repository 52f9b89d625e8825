#pragma once
// File work of the output engine. Every function throws WorkerException with a
// message for the user when it fails, and WorkerException::cancelled("Cancel
// publish!") when the stop flag is set.

#include <QString>
#include <QStringList>
#include <atomic>

namespace OutputFiles {

// The reason a stopped job ends with.
QString cancelReason();

// Throws the cancellation when *stop is set (a null flag never stops).
void checkStop(const std::atomic_bool *stop);

[[noreturn]] void fail(const QString &message);

void makeFolder(const QString &path);
// Copies a file byte for byte; to must not exist yet.
void copyFile(const QString &from, const QString &to, const std::atomic_bool *stop);
// Copies everything below from into to (made when missing); symbolic links and
// special files are left out, and names starting with "." unless withHidden.
// exceptTopLevel names entries at the top of from that are not copied.
void copyFolder(const QString &from, const QString &to, const std::atomic_bool *stop, bool withHidden = false,
                const QStringList &exceptTopLevel = {});
// Writes text as UTF-8 (without byte-order mark).
void writeText(const QString &path, const QString &text);
QString readText(const QString &path);

// A relative path as a URL path: each part percent-encoded except letters, digits
// and "-._~!$&'()*+,;=:@".
QString urlPath(const QString &relativePath);

// text escaped for HTML element text and double- or single-quoted attributes.
QString escapeHtml(const QString &text);

// Whether a file is a picture the viewer shows: JPEG, PNG, GIF or WebP by its content
// (whatever its name says) with a header that reads as one, or an SVG drawing that
// carries no script (isScriptFreeSvg). Only such files are copied into a book as
// pictures, so no other file of the user's can travel with it under a picture's name.
bool isPicture(const QString &path);
// Whether an SVG file is a plain drawing: well-formed, no document type declaration,
// no script or foreign content, no event handler attributes and no links other than
// to its own parts or to embedded pictures. A browser opening it runs nothing.
bool isScriptFreeSvg(const QString &path);
// Whether a file is a Flash movie, by its signature.
bool isMovie(const QString &path);

// The suffix a copy of the file gets: its own in lower case when it is a plain
// short suffix, else fallback.
QString suffixFor(const QString &path, const QString &fallback);

} // namespace OutputFiles
