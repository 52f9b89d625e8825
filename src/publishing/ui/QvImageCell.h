#pragma once
// The cell of the picture column of the phone page review. Its content is the row's
// own view (QvImageManageView), hosted over the cell so it follows the table when it
// scrolls; the cell itself draws only its background.

#include <QStyledItemDelegate>

class QAbstractItemView;
class QvImageManageView;

class QvImageCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit QvImageCell(QAbstractItemView *view);

    // Puts view over the cell of index (the view now belongs to the table).
    void setManageView(const QModelIndex &index, QvImageManageView *view);
    QvImageManageView *manageView(const QModelIndex &index) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QAbstractItemView *m_view;
};
