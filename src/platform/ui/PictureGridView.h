#pragma once
// The picture grid of the pickers: pictures with their titles in rows that wrap with
// the view's width, several selectable, empty selection allowed. A double-click or
// Return on an item activates it.

#include "platform/PictureGridModel.h"

#include <QList>
#include <QListView>

class PictureGridView : public QListView
{
    Q_OBJECT
public:
    explicit PictureGridView(QWidget *parent = nullptr);

    // The grid's own model unless another was set with setPictureModel().
    PictureGridModel *pictureModel() const { return m_model; }
    void setPictureModel(PictureGridModel *model);

    void setItems(const QList<PictureGridItem> &items);
    void setThumbnailSize(const QSize &size);

    QList<int> selectedRows() const;
    void setSelectedRows(const QList<int> &rows);
    void selectRow(int row);

signals:
    void selectionDidChange(const QList<int> &rows);
    void itemDoubleClicked(int row);

private:
    void connectSelection();
    void updateGrid();

    PictureGridModel *m_model = nullptr;
};
