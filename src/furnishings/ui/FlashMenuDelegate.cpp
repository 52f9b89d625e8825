#include "furnishings/ui/FlashMenuDelegate.h"

#include "foundation/AppStrings.h"
#include "platform/ui/DragOutToDelete.h"
#include "platform/ui/LogAlert.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

FlashMenuDelegate::FlashMenuDelegate(QObject *parent)
    : WindowController(QStringLiteral("FlashMenuDelegate"), WindowLoader::Lookup::Localized, parent),
      m_model(new FlashMenuModel(this))
{
}

void FlashMenuDelegate::bindOutlets()
{
    outlet(tableView, "tableView");
    outlet(btnAdd, "btnAdd");
    outlet(btnRemove, "btnRemove");
    outlet(btnMoveUp, "btnMoveUp");
    outlet(btnMoveDown, "btnMoveDown");
    outlet(boxEntry, "boxEntry");
    outlet(txtCaption, "txtCaption");
    outlet(popType, "popType");
    outlet(txtContent, "txtContent");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
}

void FlashMenuDelegate::awakeFromNib()
{
    connect(btnAdd, &QPushButton::clicked, this, &FlashMenuDelegate::onAdd);
    connect(btnRemove, &QPushButton::clicked, this, &FlashMenuDelegate::onRemove);
    connect(btnMoveUp, &QPushButton::clicked, this, &FlashMenuDelegate::onMoveUp);
    connect(btnMoveDown, &QPushButton::clicked, this, &FlashMenuDelegate::onMoveDown);
    connect(btnOK, &QPushButton::clicked, this, &FlashMenuDelegate::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &FlashMenuDelegate::onCancel);
    tableView->setModel(m_model);
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->verticalHeader()->hide();
    tableView->setDragDropMode(QAbstractItemView::InternalMove); // drops only from this list
    tableView->setDefaultDropAction(Qt::MoveAction);
    tableView->setDragDropOverwriteMode(false);
    for (int i = 0; i < FlashMenuTypeCount; ++i)
        popType->addItem(FlashMenuModel::displayName(i));
    const auto selectionChanged = [this] {
        loadFields();
        checkButtonStatus();
    };
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionChanged);
    // A reset of the list drops the selection without a word: the fields follow.
    connect(m_model, &QAbstractItemModel::modelReset, this, selectionChanged);
    connect(txtCaption, &QLineEdit::textEdited, this, &FlashMenuDelegate::fieldsChanged);
    connect(txtContent, &QLineEdit::textEdited, this, &FlashMenuDelegate::fieldsChanged);
    connect(popType, &QComboBox::currentIndexChanged, this, &FlashMenuDelegate::fieldsChanged);

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

    m_model->setItems(FlashMenuItem::parseByXmlString(m_settingXmlString));
    selectRow(m_model->rowCount() > 0 ? 0 : -1);
    loadFields();
    checkButtonStatus();
}

int FlashMenuDelegate::selectedRow() const
{
    const QModelIndexList rows = tableView->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    return m_model->itemAt(row) ? row : -1;
}

void FlashMenuDelegate::selectRow(int row)
{
    if (m_model->itemAt(row))
        tableView->selectRow(row);
    else
        tableView->clearSelection();
}

void FlashMenuDelegate::loadFields()
{
    const int row = selectedRow();
    m_loadingFields = true;
    boxEntry->setEnabled(row >= 0);
    const FlashMenuItem item = row >= 0 ? *m_model->itemAt(row) : FlashMenuItem();
    txtCaption->setText(item.caption());
    popType->setCurrentIndex(int(std::clamp<qint64>(item.type(), 0, FlashMenuTypeCount - 1)));
    txtContent->setText(item.content());
    txtContent->setEnabled(row >= 0 && FlashMenuItem::typeHasContent(item.type()));
    m_loadingFields = false;
}

void FlashMenuDelegate::fieldsChanged()
{
    const int row = selectedRow();
    if (m_loadingFields || row < 0)
        return;
    m_model->changeItem(row, [this](FlashMenuItem &item) {
        item.setCaption(txtCaption->text());
        item.setType(popType->currentIndex());
        item.setContent(txtContent->text());
    });
    txtContent->setEnabled(FlashMenuItem::typeHasContent(popType->currentIndex()));
}

void FlashMenuDelegate::checkButtonStatus()
{
    const int row = selectedRow();
    btnRemove->setEnabled(row >= 0);
    btnMoveUp->setEnabled(row > 0);
    btnMoveDown->setEnabled(row >= 0 && row < m_model->rowCount() - 1);
}

void FlashMenuDelegate::onAdd()
{
    FlashMenuItem item;
    item.setCaption(FlashMenuModel::displayName(FlashMenuItem::Share));
    selectRow(m_model->append(item));
    txtCaption->setFocus();
    txtCaption->selectAll();
}

void FlashMenuDelegate::onRemove()
{
    const int row = selectedRow();
    if (!m_model->removeRowsAt({row}))
        return;
    selectRow(std::min(row, m_model->rowCount() - 1));
}

void FlashMenuDelegate::onMoveUp()
{
    const QList<int> moved = m_model->moveUp({selectedRow()});
    if (!moved.isEmpty())
        selectRow(moved.first());
}

void FlashMenuDelegate::onMoveDown()
{
    const QList<int> moved = m_model->moveDown({selectedRow()});
    if (!moved.isEmpty())
        selectRow(moved.first());
}

void FlashMenuDelegate::onOK()
{
    // An entry that goes nowhere would show in the book and do nothing.
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const FlashMenuItem &item = m_model->items().at(row);
        if (!FlashMenuItem::typeHasContent(item.type()) || !item.content().trimmed().isEmpty())
            continue;
        selectRow(row);
        if (item.type() == FlashMenuItem::GoToPage)
            LogAlert::alertMessage(loadAppString("FlashMenuD-Please input the page index!", "Please input the page index!"),
                                   item.caption());
        else
            LogAlert::alertMessage(loadAppString("FlashMenuD-Please input the web address!", "Please input the web address!"),
                                   item.caption());
        return;
    }
    m_settingXmlString = FlashMenuItem::menuXmlString(m_model->items());
    closeWindowWithCode(1);
}

void FlashMenuDelegate::onCancel()
{
    closeWindowWithCode(0);
}
