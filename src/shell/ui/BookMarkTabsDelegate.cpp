#include "shell/ui/BookMarkTabsDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/BookmarkTabEditing.h"
#include "platform/NotificationCenter.h"
#include "platform/RowDragMime.h"
#include "platform/ui/ColorButtonCell.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "platform/ui/DragDeleteDelegate.h"
#include "platform/ui/DragOutToDelete.h"
#include "templates/TemplateNotifications.h"

#include <QItemSelectionModel>
#include <QMimeData>
#include <QTreeView>

BookMarkTabsDelegate::BookMarkTabsDelegate(QObject *parent)
    : QAbstractTableModel(parent),
      m_dragOut(new DragOutToDelete(m_dragType, [this](const QByteArray &rows) { DeleteWindowDragEnd(rows); }, this))
{
}

void BookMarkTabsDelegate::attachDragDeleteView()
{
    m_dragOut->attachToWindow();
}

BookMarkTabsDelegate::~BookMarkTabsDelegate() = default;

void BookMarkTabsDelegate::setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs)
{
    beginResetModel();
    m_tabs = std::move(tabs);
    m_dragItems.clear();
    m_liveRow = -1;
    endResetModel();
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

int BookMarkTabsDelegate::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_tabs ? 0 : int(m_tabs->TabItems().size());
}

int BookMarkTabsDelegate::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BookMarkTabsDelegate::data(const QModelIndex &index, int role) const
{
    if (!m_tabs || !index.isValid() || index.row() >= m_tabs->TabItems().size())
        return {};
    const BookMarkTabItem &item = m_tabs->TabItems().at(index.row());
    switch (index.column()) {
    case ColorColumn:
        if (role == Qt::BackgroundRole) {
            if (index.row() == m_liveRow && m_liveColor.isValid())
                return m_liveColor;
            return BookmarkTabEditing::HexToColor(item.color(), m_tabs->alpha());
        }
        if (role == Qt::ToolTipRole)
            return item.color();
        return {};
    case PageIndexColumn:
        if (role == Qt::DisplayRole)
            return QString::number(item.pageIndex());
        if (role == Qt::EditRole)
            return int(std::clamp<qint64>(item.pageIndex(), 0, std::numeric_limits<int>::max()));
        return {};
    case CaptionColumn:
        if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
            return item.caption();
        return {};
    }
    return {};
}

QVariant BookMarkTabsDelegate::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColorColumn: return loadAppString("QuorvelAppD-Color", "Color");
    case PageIndexColumn: return loadAppString("QuorvelAppD-Page", "Page");
    case CaptionColumn: return loadAppString("QuorvelAppD-Caption", "Caption");
    }
    return {};
}

bool BookMarkTabsDelegate::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !m_tabs || !index.isValid() || index.row() >= m_tabs->TabItems().size())
        return false;
    BookMarkTabItem &item = m_tabs->TabItems()[index.row()];
    if (index.column() == PageIndexColumn) {
        bool ok = false;
        const qint64 page = value.toString().trimmed().toLongLong(&ok);
        if (!ok || page < 0)
            return false; // not a page number: the tab keeps its page
        item.setPageIndex(page);
    } else if (index.column() == CaptionColumn) {
        item.setCaption(value.toString());
    } else {
        return false;
    }
    emit dataChanged(index, index);
    postChange();
    return true;
}

Qt::ItemFlags BookMarkTabsDelegate::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // drops land between rows
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (index.column() != ColorColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

void BookMarkTabsDelegate::onOpenColorPanel(int row)
{
    if (!m_tabs || row < 0 || row >= m_tabs->TabItems().size())
        return;
    const QString before = m_tabs->TabItems().at(row).color();
    const QColor start = BookmarkTabEditing::HexToColor(before, m_tabs->alpha());
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
    if (!m_tabs || row >= m_tabs->TabItems().size())
        return reloadData();
    if (chosen) {
        const QString text = colorToHexRGB(*chosen);
        if (text != before) {
            m_tabs->TabItems()[row].setColor(text.isEmpty() ? QStringLiteral("0x000000") : text);
            postChange();
        }
    }
    const QModelIndex swatch = index(row, ColorColumn);
    emit dataChanged(swatch, swatch, {Qt::BackgroundRole});
}

QStringList BookMarkTabsDelegate::mimeTypes() const
{
    return {m_dragType};
}

Qt::DropActions BookMarkTabsDelegate::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions BookMarkTabsDelegate::supportedDragActions() const
{
    return Qt::MoveAction;
}

QMimeData *BookMarkTabsDelegate::mimeData(const QModelIndexList &indexes) const
{
    if (!m_tabs)
        return nullptr;
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        if (index.isValid() && !rows.contains(index.row()))
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    m_dragItems = rows;
    m_dragOut->dragStarted();
    return RowDragMime::mimeData(m_dragType, rows);
}

QList<int> BookMarkTabsDelegate::draggedRows(const QMimeData *data) const
{
    // Only the rows of this list's own drag in progress, each still a tab.
    if (!m_tabs || !data || !data->hasFormat(m_dragType) || m_dragItems.isEmpty())
        return {};
    const QList<int> rows = RowDragMime::decode(data->data(m_dragType));
    if (rows != m_dragItems)
        return {};
    for (int row : rows)
        if (row >= m_tabs->TabItems().size())
            return {};
    return rows;
}

bool BookMarkTabsDelegate::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                           const QModelIndex &parent) const
{
    return !draggedRows(data).isEmpty();
}

bool BookMarkTabsDelegate::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                        const QModelIndex &parent)
{
    const QList<int> rows = draggedRows(data);
    if (rows.isEmpty())
        return false;
    m_dragOut->onDeleteWindowDismiss();
    int target = row;
    if (target < 0)
        target = parent.isValid() ? parent.row() : rowCount();
    beginResetModel();
    const QList<int> moved = m_tabs->moveTabs(rows, target);
    endResetModel();
    m_dragItems.clear();
    if (moved.isEmpty())
        return false;
    selectRows(moved);
    postChange();
    // The view does not remove anything itself afterwards: the move is done here.
    return false;
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

void BookMarkTabsDelegate::DeleteWindowDragEnd(const QByteArray &draggedRows)
{
    const QList<int> rows = RowDragMime::decode(draggedRows);
    if (m_tabs && !m_dragItems.isEmpty() && rows == m_dragItems && m_tabs->removeTabs(rows))
        postChange();
    m_dragItems.clear();
    reloadData();
}
