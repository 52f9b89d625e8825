#pragma once
// Picture files as the tests make and inspect them.

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>
#include <source_location>

class FlashPageSource;

namespace TestPictures {

// Saves a picture of size, all of color, in the format the suffix of path names.
// A picture that cannot be saved fails the running test at the caller's line;
// returns whether it was saved.
bool writePicture(const QString &path, const QSize &size, const QColor &color,
                  std::source_location caller = std::source_location::current());

// The size the picture file at path declares; invalid when it is no picture.
QSize pictureSize(const QString &path);

// The pixels a JPEG file's bytes decode to, as RGB888 bytes row after row.
QByteArray decodedPixels(const QByteArray &jpeg);

// The format of the picture file at path as its content shows ("png", "jpeg", ...),
// whatever its name says; empty when it is no picture.
QByteArray pictureFormat(const QString &path);

// How a JPEG file lays out its picture: the marker that starts its frame, found by
// walking its segments (0xC0 baseline, 0xC1 extended, 0xC2 progressive scans); 0 when
// the data is no JPEG or has no frame.
int jpegFrameMarker(const QByteArray &jpeg);

// Every picture of every page of a book (large, normal, thumbnail and phone) checked
// on disk: one entry "<kind> <page>: <path>" for each that is missing or is no
// picture. Empty when the book is whole.
QStringList missingPagePictures(const FlashPageSource &source);

// A one-frame SWF movie of width by height pixels whose whole stage is a rectangle of
// color on a transparent stage (uncompressed, version 10; a hundred bytes).
QByteArray rectangleSwf(const QColor &color, int width = 100, int height = 100);
// A movie of two frames at two frames a second, looping: the stage a rectangle of
// `first`, then of `second`.
QByteArray blinkingSwf(const QColor &first, const QColor &second, int width = 100, int height = 100);

} // namespace TestPictures
