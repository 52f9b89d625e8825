#pragma once
// The data source of the bookmark tab list: one row per tab of a BookMarkTabs, in
// the columns "color" (a swatch, ColorButtonCell), "pageIndex" and "caption" (both
// edited in place). Rows are reordered by dragging them inside the list and deleted
// by dragging them out of it; a click on a swatch opens the colour chooser for that
// row. Every change is posted as FlashTmplProValueChangedNotification with this
// object; a change of the selection as BookmarkTabViewDidSelected.

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <memory>

class BookMarkTabs;
class ColorButtonCell;
class DragOutToDelete;
class QTreeView;

inline const QString BookmarkTabsDataType = QStringLiteral("application/x-quorvel-bookmark-tabs");
inline const QString BookmarkTabViewDidSelected = QStringLiteral("BookmarkTabViewDidSelected");

class BookMarkTabsDelegate : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColorColumn = 0, PageIndexColumn = 1, CaptionColumn = 2, ColumnCount = 3 };

    explicit BookMarkTabsDelegate(QObject *parent = nullptr);
    ~BookMarkTabsDelegate() override;

    std::shared_ptr<BookMarkTabs> bookmarkTabs() const { return m_tabs; }
    void setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs); // null: no book
    QString registDragType() const { return m_dragType; }

    // The list this object serves (model, swatch cell, drags, selection reports).
    void setOutlineView(QTreeView *view);
    QTreeView *outlineView() const { return m_view; }
    // Watches drags out of the list in the window it stands in now.
    void attachDragDeleteView();

    // Shows the model again after a change made elsewhere.
    void reloadData();
    // Announces a change of the tabs.
    void postChange();

    // Opens the colour chooser for the tab at row; its swatch follows the chooser.
    void onOpenColorPanel(int row);
    // The end of a drag out of the list: removes the dragged tabs.
    void DeleteWindowDragEnd(const QByteArray &draggedRows);

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
    QList<int> draggedRows(const QMimeData *data) const;
    void selectRows(const QList<int> &rows);

    std::shared_ptr<BookMarkTabs> m_tabs;
    QString m_dragType = BookmarkTabsDataType;
    QPointer<QTreeView> m_view;
    DragOutToDelete *m_dragOut;
    ColorButtonCell *m_colorCell = nullptr;
    mutable QList<int> m_dragItems; // rows of the drag in progress
    int m_liveRow = -1;             // the row whose swatch shows the chooser's colour
    QColor m_liveColor;
};
