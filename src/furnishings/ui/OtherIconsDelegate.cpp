#include "furnishings/ui/OtherIconsDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "furnishings/ui/IconCaptionCell.h"
#include "furnishings/ui/OtherIconSettings.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/DragOutToDelete.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWindow.h"

#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

OtherIconsDelegate::OtherIconsDelegate(QObject *parent)
    : WindowController(QStringLiteral("OtherIconsDelegate"), WindowLoader::Lookup::Localized, parent),
      m_model(new OtherIconsModel(this))
{
}

OtherIconsDelegate::~OtherIconsDelegate() = default;

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

    tableView->setModel(m_model);
    tableView->setItemDelegateForColumn(0, new IconCaptionCell(tableView));
    tableView->verticalHeader()->hide();
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->setColumnWidth(0, 200);
    tableView->setColumnWidth(1, 180);
    tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView->setDragDropMode(QAbstractItemView::InternalMove); // drops only from this list
    tableView->setDefaultDropAction(Qt::MoveAction);
    tableView->setDragDropOverwriteMode(false);
    connect(tableView, &QTableView::doubleClicked, this, &OtherIconsDelegate::onTableViewDoubleClick);
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &OtherIconsDelegate::checkButtonStatus);
    // A reset of the list drops the selection without a word: the buttons follow.
    connect(m_model, &QAbstractItemModel::modelReset, this, &OtherIconsDelegate::checkButtonStatus);

    // Rows dragged out of the window are deleted; a drag inside moves them.
    m_dragOut = new DragOutToDelete(
        m_model->registDragType(), [this](const QByteArray &rows) { m_model->removeDraggedOut(rows); }, this);
    m_dragOut->setList(tableView);
    m_dragOut->attachToWindow();
    connect(m_model, &RowListModel::dragStarted, m_dragOut, &DragOutToDelete::dragStarted);
    connect(m_model, &RowListModel::rowsDropped, this, [this](const QList<int> &rows) {
        m_dragOut->onDeleteWindowDismiss();
        selectRow(rows.value(0, -1));
    });

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
    m_model->setItems(OtherIconItem::iconListFromFile(m_customIconsSettingFile).value_or(QList<OtherIconItem>()));
}

int OtherIconsDelegate::selectedRow() const
{
    const QModelIndexList rows = tableView->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    return m_model->itemAt(row) ? row : -1;
}

void OtherIconsDelegate::selectRow(int row)
{
    if (m_model->itemAt(row))
        tableView->selectRow(row);
    else
        tableView->clearSelection();
    checkButtonStatus();
}

void OtherIconsDelegate::checkButtonStatus()
{
    const int row = selectedRow();
    btnRemove->setEnabled(row >= 0);
    btnMoveUp->setEnabled(row > 0);
    btnMoveDown->setEnabled(row >= 0 && row < m_model->rowCount() - 1);
}

void OtherIconsDelegate::runSettingsSheet(int row)
{
    if (m_settingsDelegate)
        return;
    m_editedRow = row;
    m_editedItem = m_model->itemAt(row) ? *m_model->itemAt(row) : OtherIconItem();
    m_settingsDelegate = new OtherIconSettings(this);
    m_settingsDelegate->setIconItem(&m_editedItem);
    m_settingsDelegate->beginSheet(window(), [this](int code) {
        if (code == 1) {
            if (m_editedRow < 0)
                selectRow(m_model->append(m_editedItem));
            else
                m_model->changeItem(m_editedRow, [this](OtherIconItem &icon) { icon = m_editedItem; });
        }
        m_editedRow = -1;
        if (m_settingsDelegate)
            m_settingsDelegate->deleteLater();
        m_settingsDelegate = nullptr;
    });
}

void OtherIconsDelegate::onAddIcons()
{
    runSettingsSheet(-1);
}

void OtherIconsDelegate::onTableViewDoubleClick()
{
    const int row = selectedRow();
    if (row >= 0)
        runSettingsSheet(row);
}

void OtherIconsDelegate::onRemoveSelectedIcons()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (!LogAlert::askOKCancel(loadAppString("Are you sure to delete the selected item(s)?", "Are you sure to delete the selected item(s)?"),
                               QString()))
        return;
    m_model->removeRowsAt({row});
}

void OtherIconsDelegate::onClearAll()
{
    if (!LogAlert::askOKCancel(loadAppString("Are you sure you want to delete all the items?", "Are you sure you want to delete all the items?"),
                               QString()))
        return;
    m_model->setItems({});
}

void OtherIconsDelegate::onMoveUp()
{
    const QList<int> moved = m_model->moveUp({selectedRow()});
    if (!moved.isEmpty())
        selectRow(moved.first());
}

void OtherIconsDelegate::onMoveDown()
{
    const QList<int> moved = m_model->moveDown({selectedRow()});
    if (!moved.isEmpty())
        selectRow(moved.first());
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
        m_model->append(icon);
    }
}

void OtherIconsDelegate::onOK()
{
    setCloseMode(1);
    m_customIconsSettingFile = OtherIconItem::fileForEditedList(m_model->items(), m_customIconsSettingFile, m_fileMD5);
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
