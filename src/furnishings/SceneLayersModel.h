#pragma once
// The layer table of the scenes maker: one row per layer of the scene, in list order,
// in the columns "caption" (the file's name), "layer" (behind or in front of the book)
// and "layout" (its place). Rows are reordered by dragging them and deleted by dragging
// them out of the window (RowListOf).

#include "furnishings/SceneObject.h"
#include "platform/RowListModel.h"

inline const QString SceneLayersDataType = QStringLiteral("application/x-quorvel-scene-layers");

class SceneLayersModel : public RowListOf<SceneObject>
{
public:
    enum Column { CaptionColumn = 0, LayerColumn = 1, LayoutColumn = 2, ColumnCount = 3 };

    explicit SceneLayersModel(QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    QList<SceneObject> &rowItems() override { return m_layers; }

private:
    QList<SceneObject> m_layers;
};
