#pragma once
// A table over a list whose rows are reordered by dragging them inside its view and
// deleted by dragging them out of the window (DragOutToDelete). The drag carries the
// row numbers under the list's own MIME type (RowDragMime); only this list's own drag
// in progress is accepted, so a stale or foreign drop moves nothing.
//
// A subclass keeps the list, moves rows in moveRowsTo() and gives its items the
// drag flags of dragFlags().

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
