#include "shell/ui/FlashOutlineDelegate.h"

#include "foundation/AppStrings.h"
#include "furnishings/FlashOutline.h"
#include "platform/NotificationCenter.h"
#include "platform/RowDragMime.h"
#include "platform/ui/DragDeleteDelegate.h"
#include "platform/ui/DragOutToDelete.h"
#include "templates/TemplateNotifications.h"

#include <QItemSelectionModel>
#include <QMimeData>
#include <QTreeView>

FlashOutlineDelegate::FlashOutlineDelegate(QObject *parent)
    : QAbstractItemModel(parent),
      m_dragOut(new DragOutToDelete(m_dragType, [this](const QByteArray &rows) { DeleteWindowDragEnd(rows); }, this))
{
}

void FlashOutlineDelegate::attachDragDeleteView()
{
    m_dragOut->attachToWindow();
}

FlashOutlineDelegate::~FlashOutlineDelegate() = default;

void FlashOutlineDelegate::setFlashOutline(std::shared_ptr<FlashOutline> outline)
{
    beginResetModel();
    m_outline = std::move(outline);
    m_dragItem.reset();
    endResetModel();
}

void FlashOutlineDelegate::setOutlineView(QTreeView *view)
{
    m_view = view;
    m_dragOut->setList(view);
    if (!view)
        return;
    view->setModel(this);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setDragDropMode(QAbstractItemView::InternalMove); // drops only from this list
    view->setDefaultDropAction(Qt::MoveAction);
    view->setDropIndicatorShown(true);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
}

const QList<FlashOutlineItemPtr> &FlashOutlineDelegate::childrenOf(const FlashOutlineItem *parent) const
{
    static const QList<FlashOutlineItemPtr> none;
    if (parent)
        return parent->childItems();
    return m_outline ? std::as_const(*m_outline).items() : none;
}

FlashOutlineItem *FlashOutlineDelegate::itemForIndex(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this ? static_cast<FlashOutlineItem *>(index.internalPointer()) : nullptr;
}

QModelIndex FlashOutlineDelegate::indexForItem(const FlashOutlineItem *item, int column) const
{
    if (!item || !m_outline)
        return {};
    const int row = m_outline->indexOf(item);
    return row < 0 ? QModelIndex() : createIndex(row, column, const_cast<FlashOutlineItem *>(item));
}

QModelIndex FlashOutlineDelegate::index(int row, int column, const QModelIndex &parent) const
{
    const auto &list = childrenOf(itemForIndex(parent));
    if (row < 0 || row >= list.size() || column < 0 || column >= ColumnCount)
        return {};
    return createIndex(row, column, list.at(row).get());
}

QModelIndex FlashOutlineDelegate::parent(const QModelIndex &child) const
{
    const FlashOutlineItem *item = itemForIndex(child);
    return item ? indexForItem(item->parent().get()) : QModelIndex();
}

int FlashOutlineDelegate::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != TitleColumn)
        return 0;
    return int(childrenOf(itemForIndex(parent)).size());
}

int FlashOutlineDelegate::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant FlashOutlineDelegate::data(const QModelIndex &index, int role) const
{
    const FlashOutlineItem *item = itemForIndex(index);
    if (!item)
        return {};
    if (role == PageRole)
        return item->pageIndex();
    if (index.column() == TitleColumn) {
        if (role == Qt::DisplayRole)
            return item->caption().isNull() ? loadAppString("FlashOutlineD-(Untitled)", "(Untitled)") : item->caption();
        if (role == Qt::EditRole || role == Qt::ToolTipRole)
            return item->caption();
    } else if (index.column() == PageColumn && role == Qt::DisplayRole) {
        if (!item->pageUrl().isEmpty())
            return item->pageUrl();
        return item->pageIndex() > 0 ? QVariant(QString::number(item->pageIndex())) : QVariant();
    }
    return {};
}

QVariant FlashOutlineDelegate::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == TitleColumn)
        return loadAppString("BookmarkOutlineV-Bookmark", "Bookmark");
    if (section == PageColumn)
        return loadAppString("BookmarkOutlineV-Page", "Page");
    return {};
}

bool FlashOutlineDelegate::setData(const QModelIndex &index, const QVariant &value, int role)
{
    FlashOutlineItem *item = itemForIndex(index);
    if (!item || role != Qt::EditRole || index.column() != TitleColumn)
        return false;
    QString caption = value.toString();
    if (caption.isNull())
        caption = QLatin1String(""); // renamed to nothing: an empty caption, not a missing one
    if (caption == item->caption() && !item->caption().isNull())
        return true;
    item->setCaption(caption);
    emit dataChanged(index, index);
    postChange();
    return true;
}

Qt::ItemFlags FlashOutlineDelegate::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (index.column() == TitleColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

void FlashOutlineDelegate::postChange()
{
    NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, this);
}

QStringList FlashOutlineDelegate::mimeTypes() const
{
    return {m_dragType};
}

Qt::DropActions FlashOutlineDelegate::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions FlashOutlineDelegate::supportedDragActions() const
{
    return Qt::MoveAction;
}

QMimeData *FlashOutlineDelegate::mimeData(const QModelIndexList &indexes) const
{
    if (!m_outline)
        return nullptr;
    // Only the last of the selected bookmarks is dragged.
    FlashOutlineItem *item = nullptr;
    for (const QModelIndex &index : indexes)
        if (FlashOutlineItem *candidate = itemForIndex(index))
            item = candidate;
    const int row = m_outline->indexOf(item);
    if (row < 0)
        return nullptr;
    m_dragItem = item->shared_from_this();
    m_dragOut->dragStarted();
    return RowDragMime::mimeData(m_dragType, {row});
}

FlashOutlineItemPtr FlashOutlineDelegate::draggedItem(const QMimeData *data) const
{
    // Only this list's own drag in progress, of a bookmark still where it was.
    const FlashOutlineItemPtr item = m_dragItem.lock();
    if (!item || !m_outline || !data || !data->hasFormat(m_dragType))
        return nullptr;
    const int row = m_outline->indexOf(item.get());
    if (row < 0 || RowDragMime::decode(data->data(m_dragType)) != QList<int>{row})
        return nullptr;
    return item;
}

bool FlashOutlineDelegate::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int,
                                           const QModelIndex &parent) const
{
    const FlashOutlineItemPtr item = draggedItem(data);
    const FlashOutlineItem *target = itemForIndex(parent);
    return item && target != item.get() && !FlashOutlineItem::checkIsParentOf(item.get(), target);
}

bool FlashOutlineDelegate::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                        const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    m_dragOut->onDeleteWindowDismiss();
    const FlashOutlineItemPtr item = draggedItem(data);
    FlashOutlineItem *target = itemForIndex(parent);
    const QModelIndex targetIndex = indexForItem(target);
    // Onto a bookmark: its first child; onto the empty space below the list: the end.
    const int count = rowCount(targetIndex);
    int at = row < 0 ? (target ? 0 : count) : std::min(row, count);
    const QModelIndex sourceParent = indexForItem(item->parent().get());
    const int from = m_outline->indexOf(item.get());
    if (!beginMoveRows(sourceParent, from, from, targetIndex, at))
        return false; // dropped where it stands
    m_outline->moveItem(item, target ? target->shared_from_this() : nullptr, at);
    endMoveRows();
    m_dragItem.reset();
    if (m_view && targetIndex.isValid())
        m_view->expand(targetIndex);
    postChange();
    // The view does not remove anything itself afterwards: the move is done here.
    return false;
}

int FlashOutlineDelegate::visualRow(const QModelIndex &index) const
{
    if (!m_view || !index.isValid())
        return -1;
    int row = 0;
    for (QModelIndex i = this->index(0, 0); i.isValid(); i = m_view->indexBelow(i), ++row)
        if (i == index.siblingAtColumn(0))
            return row;
    return -1;
}

QModelIndex FlashOutlineDelegate::indexAtVisualRow(int row) const
{
    if (!m_view || row < 0)
        return {};
    QModelIndex i = index(0, 0);
    for (; i.isValid() && row > 0; --row)
        i = m_view->indexBelow(i);
    return i;
}

void FlashOutlineDelegate::removeItem(FlashOutlineItem *item)
{
    const QModelIndex index = indexForItem(item);
    if (!index.isValid())
        return;
    const int row = visualRow(index);
    const FlashOutlineItemPtr parent = item->parent();
    beginRemoveRows(index.parent(), index.row(), index.row());
    m_outline->removeItem(item);
    endRemoveRows();
    if (!m_view)
        return;
    QModelIndex next;
    if (parent && parent->childItems().isEmpty())
        next = indexAtVisualRow(std::max(0, row - 1));
    else
        next = indexAtVisualRow(row).isValid() ? indexAtVisualRow(row) : indexAtVisualRow(row - 1);
    if (next.isValid())
        m_view->selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        m_view->selectionModel()->clear();
}

void FlashOutlineDelegate::DeleteWindowDragEnd(const QByteArray &draggedRows)
{
    QMimeData data;
    data.setData(m_dragType, draggedRows);
    if (const FlashOutlineItemPtr item = draggedItem(&data)) {
        removeItem(item.get());
        postChange();
    }
    m_dragItem.reset();
}
