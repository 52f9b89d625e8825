#include "shell/ui/BookMarkTabsDelegate.h"

#include "foundation/ColorText.h"
#include "furnishings/BookmarkTabEditing.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ColorButtonCell.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "platform/ui/DragOutToDelete.h"
#include "templates/TemplateNotifications.h"

#include <QItemSelectionModel>
#include <QTreeView>

BookMarkTabsDelegate::BookMarkTabsDelegate(QObject *parent)
    : BookmarkTabsModel(parent), m_dragOut(new DragOutToDelete(
                                     registDragType(),
                                     [this](const QByteArray &rows) {
                                         if (!removeDraggedOut(rows).isEmpty())
                                             postChange();
                                     },
                                     this))
{
    connect(this, &RowListModel::dragStarted, m_dragOut, &DragOutToDelete::dragStarted);
    connect(this, &RowListModel::rowsDropped, this, [this](const QList<int> &rows) {
        m_dragOut->onDeleteWindowDismiss();
        selectRows(rows);
        postChange();
    });
}

void BookMarkTabsDelegate::attachDragDeleteView()
{
    m_dragOut->attachToWindow();
}

BookMarkTabsDelegate::~BookMarkTabsDelegate() = default;

void BookMarkTabsDelegate::setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs)
{
    m_liveRow = -1;
    BookmarkTabsModel::setBookmarkTabs(std::move(tabs));
}

void BookMarkTabsDelegate::setOutlineView(QTreeView *view)
{
    m_view = view;
    m_dragOut->setList(view);
    if (!view)
        return;
    view->setModel(this);
    m_colorCell = new ColorButtonCell(view);
    view->setItemDelegateForColumn(ColorColumn, m_colorCell);
    connect(m_colorCell, &ColorButtonCell::clicked, this, [this](const QModelIndex &index) { onOpenColorPanel(index.row()); });
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setDragDropMode(QAbstractItemView::InternalMove); // drops only from this list
    view->setDefaultDropAction(Qt::MoveAction);
    view->setDragDropOverwriteMode(false);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        NotificationCenter::defaultCenter()->postNotification(BookmarkTabViewDidSelected, this);
    });
}

void BookMarkTabsDelegate::reloadData()
{
    beginResetModel();
    endResetModel();
}

void BookMarkTabsDelegate::postChange()
{
    NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, this);
}

QVariant BookMarkTabsDelegate::data(const QModelIndex &index, int role) const
{
    if (role == Qt::BackgroundRole && index.column() == ColorColumn && index.row() == m_liveRow && m_liveColor.isValid())
        return m_liveColor;
    return BookmarkTabsModel::data(index, role);
}

bool BookMarkTabsDelegate::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!BookmarkTabsModel::setData(index, value, role))
        return false;
    postChange();
    return true;
}

void BookMarkTabsDelegate::onOpenColorPanel(int row)
{
    const std::shared_ptr<BookMarkTabs> tabs = bookmarkTabs();
    if (!tabs || row < 0 || row >= tabs->TabItems().size())
        return;
    const QString before = tabs->TabItems().at(row).color();
    const QColor start = BookmarkTabEditing::HexToColor(before, tabs->alpha());
    m_liveRow = row;
    const auto showLive = [this, row](const QColor &color) {
        m_liveColor = color;
        const QModelIndex swatch = index(row, ColorColumn);
        emit dataChanged(swatch, swatch, {Qt::BackgroundRole});
    };
    const std::optional<QColor> chosen = ColorPanelDelegate::chooseColor(this, start, showLive);
    m_liveRow = -1;
    m_liveColor = QColor();
    // The tabs may have changed while the chooser ran (a book closed, say).
    if (bookmarkTabs() != tabs || row >= tabs->TabItems().size())
        return reloadData();
    if (chosen) {
        const QString text = colorToHexRGB(*chosen);
        if (text != before) {
            tabs->TabItems()[row].setColor(text.isEmpty() ? QStringLiteral("0x000000") : text);
            postChange();
        }
    }
    const QModelIndex swatch = index(row, ColorColumn);
    emit dataChanged(swatch, swatch, {Qt::BackgroundRole});
}

void BookMarkTabsDelegate::selectRows(const QList<int> &rows)
{
    if (!m_view)
        return;
    QItemSelection selection;
    for (int row : rows)
        selection.select(index(row, 0), index(row, ColumnCount - 1));
    m_view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty())
        m_view->selectionModel()->setCurrentIndex(index(rows.first(), 0), QItemSelectionModel::NoUpdate);
}
