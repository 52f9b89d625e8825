#include "platform/RowListModel.h"

#include "foundation/ListRows.h"
#include "platform/RowDragMime.h"

#include <QMimeData>

RowListModel::RowListModel(const QString &dragType, QObject *parent) : QAbstractTableModel(parent), m_dragType(dragType)
{
}

Qt::DropActions RowListModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions RowListModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

QStringList RowListModel::mimeTypes() const
{
    return {m_dragType};
}

Qt::ItemFlags RowListModel::dragFlags(const QModelIndex &index)
{
    return index.isValid() ? Qt::ItemIsDragEnabled : Qt::ItemIsDropEnabled;
}

QMimeData *RowListModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        rows << index.row();
    m_dragItems = ListRows::clean(rows, rowCount());
    if (m_dragItems.isEmpty())
        return nullptr;
    emit dragStarted();
    return RowDragMime::mimeData(m_dragType, m_dragItems);
}

QList<int> RowListModel::ownDraggedRows(const QMimeData *data) const
{
    if (!data || !data->hasFormat(m_dragType) || m_dragItems.isEmpty())
        return {};
    const QList<int> rows = RowDragMime::decode(data->data(m_dragType));
    return rows == m_dragItems && ListRows::clean(rows, rowCount()) == rows ? rows : QList<int>();
}

bool RowListModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &) const
{
    return !ownDraggedRows(data).isEmpty();
}

bool RowListModel::dropMimeData(const QMimeData *data, Qt::DropAction, int row, int, const QModelIndex &parent)
{
    const QList<int> rows = ownDraggedRows(data);
    if (rows.isEmpty())
        return false;
    m_dragItems.clear();
    if (row < 0)
        row = parent.isValid() ? parent.row() : rowCount();
    const QList<int> placed = moveRowsTo(rows, row);
    if (!placed.isEmpty())
        emit rowsDropped(placed);
    // The move is done here: the view has nothing left to remove.
    return false;
}

QList<int> RowListModel::takeDraggedRows(const QByteArray &data)
{
    const QList<int> rows = RowDragMime::decode(data);
    const bool own = !m_dragItems.isEmpty() && rows == m_dragItems && ListRows::clean(rows, rowCount()) == rows;
    m_dragItems.clear();
    return own ? rows : QList<int>();
}
