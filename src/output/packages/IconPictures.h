#pragma once
// The pictures of an icon file chosen by the user: every size of an ".icns" or ".ico"
// file, or the one picture of any other image file (PNG, JPEG, BMP, GIF, ...). The
// kind is told by the file's contents, not its extension.

#include <QImage>
#include <QList>
#include <QString>

namespace IconPictures {

// Empty (with error) when the file cannot be read or holds no picture.
QList<QImage> read(const QString &path, QString *error = nullptr);

// The picture of sources best suited to size, scaled to it: the same size, else the
// smallest larger one, else the largest. Null for no sources.
QImage pictureForSize(const QList<QImage> &sources, const QSize &size);

} // namespace IconPictures
