#include "furnishings/OtherIconsModel.h"

#include "foundation/AppStrings.h"

OtherIconsModel::OtherIconsModel(QObject *parent) : RowListOf<OtherIconItem>(OtherIconDataType, parent) {}

QString OtherIconsModel::typeName(int type)
{
    if (type == OtherIconItem::OpenLink)
        return loadAppString("OtherIconsD-Open a link", "Open a link");
    if (type == OtherIconItem::CallScript)
        return loadAppString("OtherIconsD-Call javascript function", "Call javascript function");
    return loadAppString("OtherIconsD-Go To Page", "Go To Page");
}

int OtherIconsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OtherIconsModel::data(const QModelIndex &index, int role) const
{
    const OtherIconItem *icon = index.isValid() ? itemAt(index.row()) : nullptr;
    if (!icon)
        return {};
    if (role == PathRole && index.column() == CaptionColumn)
        return icon->file();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case CaptionColumn:
        return icon->caption();
    case TypeColumn:
        return typeName(icon->type());
    case ContentColumn:
        return icon->content();
    }
    return {};
}

QVariant OtherIconsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return RowListOf<OtherIconItem>::headerData(section, orientation, role);
    switch (section) {
    case CaptionColumn:
        return loadAppString("OtherIconsD-Caption", "Caption");
    case TypeColumn:
        return loadAppString("OtherIconsD-Action", "Action");
    case ContentColumn:
        return loadAppString("OtherIconsD-Content", "Content");
    }
    return {};
}

Qt::ItemFlags OtherIconsModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    return base | dragFlags(index);
}
