#pragma once
// Snapshots of book pages: one page file drawn into a picture of an exact size, for
// the phone version of a book. The page is fitted into the size keeping its
// proportions and centred; the rest is white.
//
// Page files that can be drawn: pictures (JPEG, PNG, GIF, BMP, TIFF, WebP) and PDF
// files (their first page; the book's own PDF pages are single-page files "N.pdf").
// SWF movies cannot be drawn here: no player for them exists on this system.

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

// True for the page kinds that can be drawn, told by the extension (any letter case).
bool canRender(const QString &pageFile);
bool isPicture(const QString &pageFile);

// The page drawn into exactly size; a null image with the reason in status otherwise.
QImage render(const QString &pageFile, const QSize &size, Status *status = nullptr);

// Renders and writes a JPEG to outputFile atomically: on failure an older file there
// stays as it was.
Status renderToFile(const QString &pageFile, const QString &outputFile, const QSize &size);

// The rectangle a picture of imageSize takes when fitted and centred in size.
QRect fittedRect(const QSizeF &imageSize, const QSize &size);

} // namespace PageSnapshot
