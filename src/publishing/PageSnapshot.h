#pragma once
// Snapshots of book pages: one page file drawn into a picture of an exact size, for
// the phone version of a book. The page is fitted into the size keeping its
// proportions and centred; the rest is white.
//
// Page files that can be drawn here: pictures (JPEG, PNG, GIF, BMP, TIFF, WebP) and
// PDF files (their first page; the book's own PDF pages are single-page files
// "N.pdf"). SWF movies are drawn by the snapshot helper through the SWF player
// (tools/zuzidor), which places its picture of the movie with placed().

#include <QImage>
#include <QSize>
#include <QString>

namespace PageSnapshot {

// Largest side accepted for a snapshot, so a mistyped size cannot exhaust memory.
inline constexpr int kMaxSide = 16384;
inline constexpr int kJpegQuality = 90;

enum class Status {
    Written,
    UnsupportedKind, // not a page kind that can be drawn (an SWF movie, a text file...)
    Unreadable,      // missing, damaged or empty page file
    BadSize,         // width or height below 1 or above kMaxSide
    WriteFailed,
};

// True for the page kinds that can be drawn here, told by the extension (any letter case).
bool canRender(const QString &pageFile);
bool isPicture(const QString &pageFile);
// True for an SWF movie (extension "swf" in any letter case).
bool isMovie(const QString &pageFile);

// picture fitted into exactly size, centred on white (its transparent parts white too).
QImage placed(const QImage &picture, const QSize &size);
// Writes a JPEG of image to outputFile atomically.
Status writeJpeg(const QImage &image, const QString &outputFile);

// The page drawn into exactly size; a null image with the reason in status otherwise.
QImage render(const QString &pageFile, const QSize &size, Status *status = nullptr);

// Renders and writes a JPEG to outputFile atomically: on failure an older file there
// stays as it was.
Status renderToFile(const QString &pageFile, const QString &outputFile, const QSize &size);

// The rectangle a picture of imageSize takes when fitted and centred in size.
QRect fittedRect(const QSizeF &imageSize, const QSize &size);

} // namespace PageSnapshot
