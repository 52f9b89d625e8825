#pragma once
// The viewer menu editor's list: one row per entry, in the columns caption, action
// (its display name in the user's language) and page or address (for "Go to Page" and
// "Open URL"). Rows are reordered by dragging them and deleted by dragging them out of
// the window (RowListOf).

#include "furnishings/FlashMenuItem.h"
#include "platform/RowListModel.h"

inline const QString FlashMenuDataType = QStringLiteral("application/x-quorvel-viewer-menu");

class FlashMenuModel : public RowListOf<FlashMenuItem>
{
public:
    enum Column { CaptionColumn = 0, ActionColumn = 1, ContentColumn = 2, ColumnCount = 3 };

    explicit FlashMenuModel(QObject *parent = nullptr);

    // The action shown to the user: the display name of the type in the user's
    // language ("Share" for a type outside 0 to 4).
    static QString displayName(qint64 type);

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    QList<FlashMenuItem> &rowItems() override { return m_items; }

private:
    QList<FlashMenuItem> m_items;
};
