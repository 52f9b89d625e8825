#include "furnishings/ui/OtherIconsDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "furnishings/ui/IconCaptionCell.h"
#include "furnishings/ui/OtherIconSettings.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragDeleteDetectView.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWindow.h"

#include <QAbstractTableModel>
#include <QFile>
#include <QHeaderView>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>

// The icons as rows of the list: caption (with the picture), type, content.
class OtherIconsTableModel : public QAbstractTableModel
{
public:
    OtherIconsTableModel(OtherIconsDelegate *owner, const QList<OtherIconItem> &icons)
        : QAbstractTableModel(owner), m_owner(owner), m_icons(icons)
    {
    }

    void reload()
    {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : int(m_icons.size()); }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_icons.size())
            return {};
        const OtherIconItem &icon = m_icons.at(index.row());
        if (role == IconCaptionCell::PathRole && index.column() == 0)
            return icon.file();
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        switch (index.column()) {
        case 0:
            return icon.caption();
        case 1:
            return OtherIconsDelegate::typeName(icon.type());
        default:
            return icon.content();
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        switch (section) {
        case 0:
            return loadAppString("OtherIconsD-Caption", "Caption");
        case 1:
            return loadAppString("OtherIconsD-Action", "Action");
        default:
            return loadAppString("OtherIconsD-Content", "Content");
        }
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        const Qt::ItemFlags base = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
        return index.isValid() ? base | Qt::ItemIsDragEnabled : base;
    }

    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction | Qt::CopyAction; }
    QStringList mimeTypes() const override { return {OtherIconDataType}; }

    QMimeData *mimeData(const QModelIndexList &indexes) const override
    {
        QList<int> rows;
        for (const QModelIndex &index : indexes)
            if (index.isValid() && !rows.contains(index.row()))
                rows << index.row();
        std::sort(rows.begin(), rows.end());
        m_owner->rowDragStarted();
        return RowDragMime::mimeData(OtherIconDataType, rows);
    }

    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override
    {
        if (!data || !data->hasFormat(OtherIconDataType) || action == Qt::IgnoreAction)
            return false;
        const int dropRow = row >= 0 ? row : parent.isValid() ? parent.row() : int(m_icons.size());
        m_owner->acceptDrop(RowDragMime::decode(data->data(OtherIconDataType)), dropRow);
        return false; // the rows moved here: the view must not remove anything
    }

private:
    OtherIconsDelegate *m_owner;
    const QList<OtherIconItem> &m_icons;
};

OtherIconsDelegate::OtherIconsDelegate(QObject *parent)
    : WindowController(QStringLiteral("OtherIconsDelegate"), WindowLoader::Lookup::Localized, parent)
{
}

OtherIconsDelegate::~OtherIconsDelegate()
{
    delete m_dragDeleteCtrl;
}

QString OtherIconsDelegate::typeName(int type)
{
    if (type == OtherIconItem::OpenLink)
        return loadAppString("OtherIconsD-Open a link", "Open a link");
    if (type == OtherIconItem::CallScript)
        return loadAppString("OtherIconsD-Call javascript function", "Call javascript function");
    return loadAppString("OtherIconsD-Go To Page", "Go To Page");
}

void OtherIconsDelegate::bindOutlets()
{
    outlet(tableView, "tableView");
    outlet(btnAdd, "btnAdd");
    outlet(btnRemove, "btnRemove");
    outlet(btnClearAll, "btnClearAll");
    outlet(btnMoveUp, "btnMoveUp");
    outlet(btnMoveDown, "btnMoveDown");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
}

void OtherIconsDelegate::awakeFromNib()
{
    connect(btnAdd, &QPushButton::clicked, this, &OtherIconsDelegate::onAddIcons);
    connect(btnRemove, &QPushButton::clicked, this, &OtherIconsDelegate::onRemoveSelectedIcons);
    connect(btnClearAll, &QPushButton::clicked, this, &OtherIconsDelegate::onClearAll);
    connect(btnMoveUp, &QPushButton::clicked, this, &OtherIconsDelegate::onMoveUp);
    connect(btnMoveDown, &QPushButton::clicked, this, &OtherIconsDelegate::onMoveDown);
    connect(btnOK, &QPushButton::clicked, this, &OtherIconsDelegate::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &OtherIconsDelegate::onCancel);

    m_model = new OtherIconsTableModel(this, m_iconsList);
    tableView->setModel(m_model);
    tableView->setItemDelegateForColumn(0, new IconCaptionCell(tableView));
    tableView->verticalHeader()->hide();
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->setColumnWidth(0, 200);
    tableView->setColumnWidth(1, 180);
    tableView->setDragEnabled(true);
    tableView->setAcceptDrops(true);
    tableView->setDropIndicatorShown(true);
    tableView->setDragDropMode(QAbstractItemView::DragDrop);
    tableView->setDefaultDropAction(Qt::MoveAction);
    connect(tableView, &QTableView::doubleClicked, this, &OtherIconsDelegate::onTableViewDoubleClick);
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &OtherIconsDelegate::checkButtonStatus);

    if (DragDeleteDetectView *detect = DragDeleteDetectView::detectViewOfWindow(window()))
        detect->addDataTypes({OtherIconDataType});
    else
        DragDeleteDetectView::addDragDetectViewtoWindow(window(), {OtherIconDataType}, tableView);

    readIconFromFile();
    checkButtonStatus();

    m_dragFileImport = DragFileImport::coverWidget(window(), {QStringLiteral("jpg"), QStringLiteral("gif"), QStringLiteral("png")});
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_dragFileImport, [this](const Notification &) {
        QMetaObject::invokeMethod(this, &OtherIconsDelegate::othersIconAddItemDragEnd, Qt::QueuedConnection);
    });
    window()->setMinimumSize(700, 300);
}

void OtherIconsDelegate::readIconFromFile()
{
    QFile file(m_customIconsSettingFile);
    const QByteArray text = !m_customIconsSettingFile.isEmpty() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    m_fileMD5 = AppUtility::MD5StringOfData(text);
    if (const auto icons = OtherIconItem::iconListFromFile(m_customIconsSettingFile))
        m_iconsList << *icons;
    reload();
}

int OtherIconsDelegate::selectedRow() const
{
    const QModelIndexList rows = tableView->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    return row >= 0 && row < m_iconsList.size() ? row : -1;
}

void OtherIconsDelegate::selectRow(int row)
{
    if (row >= 0 && row < m_iconsList.size())
        tableView->selectRow(row);
    else
        tableView->clearSelection();
}

void OtherIconsDelegate::reload()
{
    const int row = selectedRow();
    m_model->reload();
    selectRow(row);
    checkButtonStatus();
}

void OtherIconsDelegate::checkButtonStatus()
{
    const int row = selectedRow();
    btnRemove->setEnabled(row >= 0);
    btnMoveUp->setEnabled(row > 0);
    btnMoveDown->setEnabled(row >= 0 && row < m_iconsList.size() - 1);
}

void OtherIconsDelegate::runSettingsSheet(OtherIconItem *item, bool isAddItem)
{
    if (m_settingsDelegate)
        return;
    m_isAddItem = isAddItem;
    m_settingsDelegate = new OtherIconSettings(this);
    m_settingsDelegate->setIconItem(item);
    m_settingsDelegate->beginSheet(window(), [this](int code) {
        if (code == 1 && m_isAddItem) {
            m_iconsList << m_newItem;
            reload();
            selectRow(int(m_iconsList.size()) - 1);
        } else {
            reload();
        }
        m_isAddItem = false;
        if (m_settingsDelegate)
            m_settingsDelegate->deleteLater();
        m_settingsDelegate = nullptr;
    });
}

void OtherIconsDelegate::onAddIcons()
{
    m_newItem = OtherIconItem();
    runSettingsSheet(&m_newItem, true);
}

void OtherIconsDelegate::onTableViewDoubleClick()
{
    const int row = selectedRow();
    if (row >= 0)
        runSettingsSheet(&m_iconsList[row], false);
}

void OtherIconsDelegate::onRemoveSelectedIcons()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (!LogAlert::askOKCancel(loadAppString("Are you sure to delete the selected item(s)?", "Are you sure to delete the selected item(s)?"),
                               QString()))
        return;
    m_iconsList.removeAt(row);
    reload();
}

void OtherIconsDelegate::onClearAll()
{
    if (!LogAlert::askOKCancel(loadAppString("Are you sure you want to delete all the items?", "Are you sure you want to delete all the items?"),
                               QString()))
        return;
    m_iconsList.clear();
    reload();
}

void OtherIconsDelegate::onMoveUp()
{
    const int row = selectedRow();
    if (row <= 0)
        return;
    m_iconsList.swapItemsAt(row, row - 1);
    m_model->reload();
    selectRow(row - 1);
}

void OtherIconsDelegate::onMoveDown()
{
    const int row = selectedRow();
    if (row < 0 || row >= m_iconsList.size() - 1)
        return;
    m_iconsList.swapItemsAt(row, row + 1);
    m_model->reload();
    selectRow(row + 1);
}

void OtherIconsDelegate::othersIconAddItemDragEnd()
{
    const QStringList dropped = m_dragFileImport ? m_dragFileImport->dragResult() : QStringList();
    for (const QString &path : dropped) {
        OtherIconItem icon;
        icon.setFile(path);
        icon.setCaption(QStringLiteral("Open URL"));
        icon.setType(OtherIconItem::OpenLink);
        icon.setContent(APP_HOME_PAGE);
        icon.setTarget(QStringLiteral("Blank"));
        m_iconsList << icon;
    }
    if (!dropped.isEmpty())
        reload();
}

void OtherIconsDelegate::rowDragStarted()
{
    if (DragDeleteDetectView *detect = DragDeleteDetectView::detectViewOfWindow(window())) {
        detect->setLayoutSender(tableView);
        detect->refresh();
    }
    delete m_dragDeleteCtrl;
    m_dragDeleteCtrl = new DragDeleteDelegate({OtherIconDataType}, tableView, this);
}

bool OtherIconsDelegate::acceptDrop(const QList<int> &rows, int dropRow)
{
    if (m_dragDeleteCtrl)
        m_dragDeleteCtrl->dismiss();
    // One row at a time; rows the list no longer has (a stale drag) move nothing.
    if (rows.isEmpty())
        return false;
    const int moved = OtherIconItem::moveIcon(m_iconsList, rows.first(), dropRow);
    if (moved < 0)
        return false;
    m_model->reload();
    selectRow(moved);
    checkButtonStatus();
    return true;
}

void OtherIconsDelegate::DeleteWindowDragEnd(const Notification &notification)
{
    if (!m_dragDeleteCtrl || notification.object != m_dragDeleteCtrl)
        return;
    QList<int> rows;
    for (const QByteArray &data : m_dragDeleteCtrl->dragResult())
        rows << RowDragMime::decode(data);
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    bool removed = false;
    for (int row : rows) {
        if (row >= 0 && row < m_iconsList.size()) {
            m_iconsList.removeAt(row);
            removed = true;
        }
    }
    const QPoint dropPoint = m_dragDeleteCtrl->dropPoint();
    m_dragDeleteCtrl->dismiss();
    if (removed) {
        tableView->clearSelection();
        reload();
        DragDeleteDelegate::showDisappearingItemAnimation(dropPoint);
    }
}

void OtherIconsDelegate::onOK()
{
    setCloseMode(1);
    m_customIconsSettingFile = OtherIconItem::fileForEditedList(m_iconsList, m_customIconsSettingFile, m_fileMD5);
    close();
}

void OtherIconsDelegate::onCancel()
{
    closeWindowWithCode(0);
}

void OtherIconsDelegate::windowWillClose()
{
    if (m_settingsDelegate)
        m_settingsDelegate->close();
    tableView->setEnabled(false);
}
