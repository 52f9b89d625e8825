#pragma once
// The bookmark tab list: one row per tab of a BookMarkTabs, in the columns "color"
// (the tab colour with the tabs' opacity, as background), "pageIndex" and "caption"
// (both edited in place). Rows are reordered by dragging them and deleted by dragging
// them out of the window (RowListOf) under BookmarkTabsDataType. Without tabs (no book)
// the list is empty and takes nothing.

#include "furnishings/BookMarkTabs.h"
#include "platform/RowListModel.h"

#include <memory>

inline const QString BookmarkTabsDataType = QStringLiteral("application/x-quorvel-bookmark-tabs");

class BookmarkTabsModel : public RowListOf<BookMarkTabItem>
{
public:
    enum Column { ColorColumn = 0, PageIndexColumn = 1, CaptionColumn = 2, ColumnCount = 3 };

    explicit BookmarkTabsModel(QObject *parent = nullptr);

    std::shared_ptr<BookMarkTabs> bookmarkTabs() const { return m_tabs; }
    void setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs); // null: no book

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Stores an edited page number (a number of 0 or more; anything else is refused and
    // the tab keeps its page) or caption.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    QList<BookMarkTabItem> &rowItems() override;

private:
    std::shared_ptr<BookMarkTabs> m_tabs;
    QList<BookMarkTabItem> m_none; // the rows without tabs: always empty
};
