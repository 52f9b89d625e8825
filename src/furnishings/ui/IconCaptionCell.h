#pragma once
// The list cell of an extra toolbar icon: its picture (when the file exists), scaled
// to a square as tall as the row, left of its caption.

#include "furnishings/OtherIconsModel.h"

#include <QImage>
#include <QStyledItemDelegate>

class IconCaptionCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // The model gives the caption as display text and the picture's path under PathRole.
    static constexpr int PathRole = OtherIconsModel::PathRole;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The picture drawn whole into a new image of size.
    static QImage resizeImage(const QImage &image, const QSize &size);
};
