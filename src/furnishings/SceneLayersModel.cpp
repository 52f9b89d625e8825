#include "furnishings/SceneLayersModel.h"

#include "foundation/AppStrings.h"

#include <QFileInfo>

SceneLayersModel::SceneLayersModel(QObject *parent) : RowListOf<SceneObject>(SceneLayersDataType, parent) {}

int SceneLayersModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SceneLayersModel::data(const QModelIndex &index, int role) const
{
    const SceneObject *layer = index.isValid() ? itemAt(index.row()) : nullptr;
    if (!layer || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    switch (index.column()) {
    case CaptionColumn:
        return role == Qt::ToolTipRole ? layer->file() : QFileInfo(layer->file()).fileName();
    case LayerColumn:
        return SceneObject::layerName(layer->isForeground() ? 1 : 0);
    case LayoutColumn:
        return SceneObject::layoutName(layer->layoutIndex());
    }
    return {};
}

QVariant SceneLayersModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return RowListOf<SceneObject>::headerData(section, orientation, role);
    switch (section) {
    case CaptionColumn:
        return loadAppString("ScenesMaker-File", "File");
    case LayerColumn:
        return loadAppString("ScenesMaker-Layer", "Layer");
    case LayoutColumn:
        return loadAppString("ScenesMaker-Position", "Position");
    }
    return {};
}

Qt::ItemFlags SceneLayersModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    return base | dragFlags(index);
}
