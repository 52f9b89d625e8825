#include "furnishings/FlashMenuModel.h"

#include "foundation/AppStrings.h"

FlashMenuModel::FlashMenuModel(QObject *parent) : RowListOf<FlashMenuItem>(FlashMenuDataType, parent) {}

QString FlashMenuModel::displayName(qint64 type)
{
    switch (type) {
    case FlashMenuItem::CopyBookUrl:
        return loadAppString("FlashMenuD-Copy book URL", "Copy book URL");
    case FlashMenuItem::CopyEmbedHtml:
        return loadAppString("FlashMenuD-Copy embed html", "Copy embed html");
    case FlashMenuItem::GoToPage:
        return loadAppString("FlashMenuD-Go to Page", "Go to Page");
    case FlashMenuItem::Url:
        return loadAppString("FlashMenuD-Open URL", "Open URL");
    default:
        return loadAppString("FlashMenuD-Share", "Share");
    }
}

int FlashMenuModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FlashMenuModel::data(const QModelIndex &index, int role) const
{
    const FlashMenuItem *item = index.isValid() ? itemAt(index.row()) : nullptr;
    if (!item || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    switch (index.column()) {
    case CaptionColumn:
        return item->caption();
    case ActionColumn:
        return displayName(item->type());
    case ContentColumn:
        return FlashMenuItem::typeHasContent(item->type()) ? item->content() : QString();
    }
    return {};
}

QVariant FlashMenuModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return RowListOf<FlashMenuItem>::headerData(section, orientation, role);
    switch (section) {
    case CaptionColumn:
        return loadAppString("FlashMenuD-Caption", "Caption");
    case ActionColumn:
        return loadAppString("FlashMenuD-Action", "Action");
    case ContentColumn:
        return loadAppString("FlashMenuD-Page or address", "Page or address");
    }
    return {};
}

Qt::ItemFlags FlashMenuModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    return base | dragFlags(index);
}
