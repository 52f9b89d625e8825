#pragma once
// A small picture of how a template looks with one of its styles (themes): its
// background colour and picture, a book in the middle, the toolbar in its colour with
// icons in theirs. Styles have no pictures of their own; the theme pickers show these.

#include <QImage>
#include <QString>

class FlashTemplate;

namespace TemplateStylePicture {

// The picture of styleName ("" for the template's defaults) at size.
QImage picture(const FlashTemplate &tmpl, const QString &styleName, const QSize &size = QSize(120, 90));
// Writes it as a PNG into folder; the file's path, or "" when it cannot be written.
QString writePicture(const FlashTemplate &tmpl, const QString &styleName, const QString &folder);

} // namespace TemplateStylePicture
