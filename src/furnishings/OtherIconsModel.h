#pragma once
// The extra icons editor's list: one row per icon, in the columns caption (with the
// icon's picture, whose path the caption column gives under PathRole), type (its name
// in the user's language) and content. Rows are reordered by dragging them and deleted
// by dragging them out of the window (RowListOf) under the private type
// OtherIconDataType.

#include "furnishings/OtherIconItem.h"
#include "platform/RowListModel.h"

inline const QString OtherIconDataType = QStringLiteral("OtherIconDataType");

class OtherIconsModel : public RowListOf<OtherIconItem>
{
public:
    enum Column { CaptionColumn = 0, TypeColumn = 1, ContentColumn = 2, ColumnCount = 3 };
    static constexpr int PathRole = Qt::UserRole + 1;

    explicit OtherIconsModel(QObject *parent = nullptr);

    // Type name shown in the list: "Go To Page" for 0 and any unknown type.
    static QString typeName(int type);

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    QList<OtherIconItem> &rowItems() override { return m_icons; }

private:
    QList<OtherIconItem> m_icons;
};
