#pragma once
// The bookmark tab list of the main window: the tabs' rows (BookmarkTabsModel, where
// they live and move) served to the list view, with the colour swatch cell
// (ColorButtonCell), deleting by dragging rows out of the window, and the colour
// chooser that a click on a swatch opens for that row. Every change is posted as
// FlashTmplProValueChangedNotification with this object; a change of the selection as
// BookmarkTabViewDidSelected.

#include "furnishings/BookmarkTabsModel.h"

#include <QColor>
#include <QPointer>
#include <QString>

class ColorButtonCell;
class DragOutToDelete;
class QTreeView;

inline const QString BookmarkTabViewDidSelected = QStringLiteral("BookmarkTabViewDidSelected");

class BookMarkTabsDelegate : public BookmarkTabsModel
{
    Q_OBJECT
public:
    explicit BookMarkTabsDelegate(QObject *parent = nullptr);
    ~BookMarkTabsDelegate() override;

    void setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs); // null: no book

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

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    void selectRows(const QList<int> &rows);

    QPointer<QTreeView> m_view;
    DragOutToDelete *m_dragOut;
    ColorButtonCell *m_colorCell = nullptr;
    int m_liveRow = -1; // the row whose swatch shows the chooser's colour
    QColor m_liveColor;
};
