#include "platform/ui/PictureGridView.h"

#include <QItemSelectionModel>

PictureGridView::PictureGridView(QWidget *parent) : QListView(parent)
{
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionRectVisible(true);
    setUniformItemSizes(true);
    setWordWrap(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setSpacing(6);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit itemDoubleClicked(index.row());
    });
    setPictureModel(new PictureGridModel(this));
}

void PictureGridView::setPictureModel(PictureGridModel *model)
{
    if (!model || model == m_model)
        return;
    m_model = model;
    setModel(model);
    connectSelection();
    updateGrid();
}

void PictureGridView::connectSelection()
{
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionDidChange(selectedRows()); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { emit selectionDidChange(selectedRows()); });
}

void PictureGridView::updateGrid()
{
    const QSize thumb = m_model->thumbnailSize();
    setIconSize(thumb);
    const int textHeight = fontMetrics().height() * 2 + 4;
    setGridSize(QSize(thumb.width() + 24, thumb.height() + textHeight + 12));
}

void PictureGridView::setItems(const QList<PictureGridItem> &items)
{
    m_model->setItems(items);
}

void PictureGridView::setThumbnailSize(const QSize &size)
{
    m_model->setThumbnailSize(size);
    updateGrid();
}

QList<int> PictureGridView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void PictureGridView::setSelectedRows(const QList<int> &rows)
{
    QItemSelection selection;
    for (int row : rows) {
        const QModelIndex index = m_model->index(row);
        if (index.isValid())
            selection.select(index, index);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty()) {
        const QModelIndex current = m_model->index(rows.first());
        if (current.isValid()) {
            selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
            scrollTo(current);
        }
    }
}

void PictureGridView::selectRow(int row)
{
    setSelectedRows({row});
}
