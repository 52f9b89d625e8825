#include "furnishings/ui/IconCaptionCell.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>

QImage IconCaptionCell::resizeImage(const QImage &image, const QSize &size)
{
    QImage resized(size, QImage::Format_ARGB32_Premultiplied);
    resized.fill(Qt::transparent);
    QPainter painter(&resized);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), image);
    return resized;
}

void IconCaptionCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString caption = cell.text;
    cell.text.clear();
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget); // background, selection

    QRect frame = option.rect;
    const QString path = index.data(PathRole).toString();
    const QImage picture = QFileInfo(path).isFile() ? QImage(path) : QImage();
    if (!picture.isNull()) {
        const int side = std::max(0, frame.height() - 2);
        painter->drawImage(QPoint(frame.x() + 1, frame.y() + 1), resizeImage(picture, QSize(side, side)));
        frame.setLeft(frame.left() + side + 2);
    }
    if (!caption.isEmpty() && frame.width() > 0) {
        painter->save();
        painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(frame.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(caption, Qt::ElideRight, frame.width() - 2));
        painter->restore();
    }
}
