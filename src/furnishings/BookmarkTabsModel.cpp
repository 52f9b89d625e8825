#include "furnishings/BookmarkTabsModel.h"

#include "foundation/AppStrings.h"
#include "furnishings/BookmarkTabEditing.h"

#include <algorithm>
#include <limits>

BookmarkTabsModel::BookmarkTabsModel(QObject *parent) : RowListOf<BookMarkTabItem>(BookmarkTabsDataType, parent) {}

void BookmarkTabsModel::setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs)
{
    beginResetModel();
    m_tabs = std::move(tabs);
    takeDraggedRows({}); // a drag of the tabs before is no drag of these
    endResetModel();
}

QList<BookMarkTabItem> &BookmarkTabsModel::rowItems()
{
    if (m_tabs)
        return m_tabs->TabItems();
    m_none.clear();
    return m_none;
}

int BookmarkTabsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BookmarkTabsModel::data(const QModelIndex &index, int role) const
{
    const BookMarkTabItem *item = index.isValid() ? itemAt(index.row()) : nullptr;
    if (!item)
        return {};
    switch (index.column()) {
    case ColorColumn:
        if (role == Qt::BackgroundRole)
            return BookmarkTabEditing::HexToColor(item->color(), m_tabs->alpha());
        if (role == Qt::ToolTipRole)
            return item->color();
        return {};
    case PageIndexColumn:
        if (role == Qt::DisplayRole)
            return QString::number(item->pageIndex());
        if (role == Qt::EditRole)
            return int(std::clamp<qint64>(item->pageIndex(), 0, std::numeric_limits<int>::max()));
        return {};
    case CaptionColumn:
        if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
            return item->caption();
        return {};
    }
    return {};
}

QVariant BookmarkTabsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColorColumn:
        return loadAppString("QuorvelAppD-Color", "Color");
    case PageIndexColumn:
        return loadAppString("QuorvelAppD-Page", "Page");
    case CaptionColumn:
        return loadAppString("QuorvelAppD-Caption", "Caption");
    }
    return {};
}

bool BookmarkTabsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    if (index.column() == PageIndexColumn) {
        bool ok = false;
        const qint64 page = value.toString().trimmed().toLongLong(&ok);
        if (!ok || page < 0)
            return false; // not a page number: the tab keeps its page
        return changeItem(index.row(), [page](BookMarkTabItem &item) { item.setPageIndex(page); });
    }
    if (index.column() == CaptionColumn)
        return changeItem(index.row(), [&value](BookMarkTabItem &item) { item.setCaption(value.toString()); });
    return false;
}

Qt::ItemFlags BookmarkTabsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return dragFlags(index); // drops land between rows
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | dragFlags(index);
    if (index.column() != ColorColumn)
        f |= Qt::ItemIsEditable;
    return f;
}
