#pragma once
// Button pictures of the publishing windows by name: "images/<name>.png" of the
// resource folder, or a picture of the widget style when that file is missing.

#include <QIcon>
#include <QStyle>
#include <QString>

namespace NamedImage {

QIcon icon(const QString &name, QStyle::StandardPixmap fallback);

} // namespace NamedImage
