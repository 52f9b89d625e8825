#pragma once
// The data source of the bookmark list: the book's outline (FlashOutline) as a tree
// with the columns "title" (renamed in place; "(Untitled)" for a bookmark without a
// caption) and the page. A bookmark is moved by dragging it: within its level, to
// another level or onto another bookmark (it becomes its first child), whole with its
// subtree and all its fields. Dragging it out of the list deletes it, and a neighbour
// is selected. Only the last of the selected bookmarks is dragged.
//
// Changes are posted as FlashTmplProValueChangedNotification with this object.

#include <QAbstractItemModel>
#include <QPointer>
#include <QString>
#include <memory>

class DragOutToDelete;
class FlashOutline;
class FlashOutlineItem;
class QTreeView;

inline const QString TableContentDataType = QStringLiteral("application/x-quorvel-bookmarks");

class FlashOutlineDelegate : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Column { TitleColumn = 0, PageColumn = 1, ColumnCount = 2 };
    static constexpr int PageRole = Qt::UserRole + 1;

    explicit FlashOutlineDelegate(QObject *parent = nullptr);
    ~FlashOutlineDelegate() override;

    std::shared_ptr<FlashOutline> flashOutline() const { return m_outline; }
    void setFlashOutline(std::shared_ptr<FlashOutline> outline); // null: no book
    QString registDragType() const { return m_dragType; }

    void setOutlineView(QTreeView *view);
    QTreeView *outlineView() const { return m_view; }
    // Watches drags out of the list in the window it stands in now.
    void attachDragDeleteView();

    FlashOutlineItem *itemForIndex(const QModelIndex &index) const;
    QModelIndex indexForItem(const FlashOutlineItem *item, int column = TitleColumn) const;

    // Removes item with its subtree from the outline and the list, and selects a
    // neighbour: the row above when its parent has no children left or when it was the
    // last row, else the row that takes its place.
    void removeItem(FlashOutlineItem *item);
    // The end of a drag out of the list: removes the dragged bookmark.
    void DeleteWindowDragEnd(const QByteArray &draggedRows);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

private:
    std::shared_ptr<FlashOutlineItem> draggedItem(const QMimeData *data) const;
    const QList<std::shared_ptr<FlashOutlineItem>> &childrenOf(const FlashOutlineItem *parent) const;
    void postChange();
    int visualRow(const QModelIndex &index) const;
    QModelIndex indexAtVisualRow(int row) const;

    std::shared_ptr<FlashOutline> m_outline;
    QString m_dragType = TableContentDataType;
    QPointer<QTreeView> m_view;
    DragOutToDelete *m_dragOut;
    mutable std::weak_ptr<FlashOutlineItem> m_dragItem;           // the bookmark being dragged
};
