#pragma once
// The colour swatch cell of a list: it draws nothing but a framed rectangle filled with
// the row's colour (the model's Qt::BackgroundRole, alpha included) and reports a
// click on it, with the row that was clicked.

#include <QStyledItemDelegate>

class ColorButtonCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The swatch inside a cell's rectangle.
    static QRect swatchRect(const QRect &cell);

signals:
    void clicked(const QModelIndex &index);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};
