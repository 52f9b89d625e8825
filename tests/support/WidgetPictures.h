#pragma once
// What a widget draws, for the widget test programs (header only: the support library
// itself has no widgets).

#include <QImage>
#include <QWidget>

namespace TestPictures {

// The widget's own drawing, children included, over a transparent picture (no window
// background).
inline QImage widgetDrawing(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace TestPictures
