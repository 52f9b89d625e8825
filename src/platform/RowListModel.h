#pragma once
// A table over a list whose rows are reordered by dragging them inside its view and
// deleted by dragging them out of the window (DragOutToDelete). The drag carries the
// row numbers under the list's own MIME type (RowDragMime); only this list's own drag
// in progress is accepted, so a stale or foreign drop moves nothing.
//
// A subclass keeps the list, moves rows in moveRowsTo() and gives its items the
// drag flags of dragFlags(). RowListOf<T> below is that subclass for a list of
// values: the list editors' models derive from it and add their columns.

#include "foundation/ListRows.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

class RowListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RowListModel(const QString &dragType, QObject *parent = nullptr);

    QString registDragType() const { return m_dragType; }

    // The rows of a drag that ended outside the window, when data names exactly the
    // rows of this list's drag in progress (else none); the drag is over afterwards.
    QList<int> takeDraggedRows(const QByteArray &data);

    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    // A drag of rows begins (the delete window is prepared for it).
    void dragStarted() const;
    // Rows were dropped inside the list and stand at rows now.
    void rowsDropped(const QList<int> &rows);

protected:
    // Moves the rows (clean, ascending) so that they stand together, in their order,
    // before the row that was at row (at the end for a row past the list); answers
    // their new rows.
    virtual QList<int> moveRowsTo(const QList<int> &rows, int row) = 0;
    static Qt::ItemFlags dragFlags(const QModelIndex &index);
    // Runs a move (one of ListRows) on a copy of list; the list takes the result, in one
    // reset of the model, only when something moved. Answers the moved rows.
    template <class T, class Move>
    QList<int> moveInList(QList<T> &list, Move move)
    {
        QList<T> copy = list;
        const QList<int> placed = move(copy);
        if (placed.isEmpty())
            return {};
        beginResetModel();
        list = std::move(copy);
        endResetModel();
        return placed;
    }

private:
    QList<int> ownDraggedRows(const QMimeData *data) const;

    QString m_dragType;
    mutable QList<int> m_dragItems; // the rows of the drag in progress
};

// The rows of a list editor: a RowListModel over a QList<T> that the subclass hands
// out through rowItems() (its own, or one of the model it edits). Adds, removes and
// the moves of the buttons and of drags are all done here, on the list itself, so they
// can be tested without a window. Every change of the list resets the model, except an
// append (rows inserted) and changeItem() (the row's data changed).
template <class T>
class RowListOf : public RowListModel
{
public:
    using RowListModel::RowListModel;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(rowItems().size()); }

    const QList<T> &items() const { return rowItems(); }
    // The item at row, if row is one.
    const T *itemAt(int row) const { return row >= 0 && row < rowItems().size() ? &rowItems().at(row) : nullptr; }
    void setItems(const QList<T> &items)
    {
        beginResetModel();
        rowItems() = items;
        endResetModel();
    }
    // Appends item; answers its row.
    int append(const T &item)
    {
        const int row = int(rowItems().size());
        beginInsertRows({}, row, row);
        rowItems().append(item);
        endInsertRows();
        return row;
    }
    // Changes the item at row in place with change(T &); false when row is none.
    template <class Change>
    bool changeItem(int row, Change change)
    {
        if (row < 0 || row >= rowItems().size())
            return false;
        change(rowItems()[row]);
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        return true;
    }
    // Removes the rows (any order; repeats and rows outside the list ignored); true
    // when something was removed.
    bool removeRowsAt(const QList<int> &rows)
    {
        if (ListRows::clean(rows, rowItems().size()).isEmpty())
            return false;
        beginResetModel();
        ListRows::remove(rowItems(), rows);
        endResetModel();
        return true;
    }
    // The rows of a drag that ended outside the window (data: the drag's row numbers),
    // removed when they are this list's drag in progress; answers them.
    QList<int> removeDraggedOut(const QByteArray &data)
    {
        const QList<int> rows = takeDraggedRows(data);
        removeRowsAt(rows);
        return rows;
    }

    // The moves (ListRows); each answers the rows the moved items stand at now, empty
    // when nothing moved.
    QList<int> moveUp(const QList<int> &rows)
    {
        return moveInList(rowItems(), [&](QList<T> &list) { return ListRows::moveUp(list, rows); });
    }
    QList<int> moveDown(const QList<int> &rows)
    {
        return moveInList(rowItems(), [&](QList<T> &list) { return ListRows::moveDown(list, rows); });
    }
    QList<int> moveRowsTo(const QList<int> &rows, int row) override
    {
        return moveInList(rowItems(), [&](QList<T> &list) { return ListRows::moveTo(list, rows, row); });
    }

protected:
    virtual QList<T> &rowItems() = 0;
    const QList<T> &rowItems() const { return const_cast<RowListOf *>(this)->rowItems(); }
};
