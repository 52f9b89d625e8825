#include "platform/ui/ColorButtonCell.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

QRect ColorButtonCell::swatchRect(const QRect &cell)
{
    return cell.adjusted(4, 3, -4, -3);
}

void ColorButtonCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The row's selection shows around the swatch.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    background.backgroundBrush = QBrush();
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

    const QRect swatch = swatchRect(option.rect);
    const QColor color = index.data(Qt::BackgroundRole).value<QColor>();
    painter->save();
    if (color.alpha() < 255) // a see-through colour over a checkerboard, as colour wells show it
        painter->fillRect(swatch, QBrush(Qt::lightGray, Qt::Dense4Pattern));
    painter->fillRect(swatch, color.isValid() ? color : QColor(Qt::transparent));
    painter->setPen(option.palette.color(QPalette::Mid));
    painter->drawRect(swatch.adjusted(0, 0, -1, -1));
    painter->restore();
}

QSize ColorButtonCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(48, std::max(option.fontMetrics.height() + 8, 22));
}

bool ColorButtonCell::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                  const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint())) {
            emit clicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
