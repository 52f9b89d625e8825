#include "publishing/ui/QvImageCell.h"

#include "publishing/ui/QvImageManageView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

QvImageCell::QvImageCell(QAbstractItemView *view) : QStyledItemDelegate(view), m_view(view) {}

void QvImageCell::setManageView(const QModelIndex &index, QvImageManageView *view)
{
    m_view->setIndexWidget(index, view);
}

QvImageManageView *QvImageCell::manageView(const QModelIndex &index) const
{
    return qobject_cast<QvImageManageView *>(m_view->indexWidget(index));
}

void QvImageCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.icon = QIcon();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
}

QSize QvImageCell::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QvImageManageView::kSize;
}
