#include "furnishings/ui/FlashMenuDelegate.h"

#include "foundation/AppStrings.h"
#include "platform/ui/LogAlert.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {

// The action shown to the user: the display name in the user's language.
QString displayName(qint64 type)
{
    switch (type) {
    case FlashMenuItem::CopyBookUrl:
        return loadAppString("FlashMenuD-Copy book URL", "Copy book URL");
    case FlashMenuItem::CopyEmbedHtml:
        return loadAppString("FlashMenuD-Copy embed html", "Copy embed html");
    case FlashMenuItem::GoToPage:
        return loadAppString("FlashMenuD-Go to Page", "Go to Page");
    case FlashMenuItem::Url:
        return loadAppString("FlashMenuD-Open URL", "Open URL");
    default:
        return loadAppString("FlashMenuD-Share", "Share");
    }
}

} // namespace

FlashMenuDelegate::FlashMenuDelegate(QObject *parent)
    : WindowController(QStringLiteral("FlashMenuDelegate"), WindowLoader::Lookup::Localized, parent)
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
    tableView->setHorizontalHeaderLabels({loadAppString("FlashMenuD-Caption", "Caption"),
                                          loadAppString("FlashMenuD-Action", "Action"),
                                          loadAppString("FlashMenuD-Page or address", "Page or address")});
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->verticalHeader()->hide();
    for (int i = 0; i < FlashMenuTypeCount; ++i)
        popType->addItem(displayName(i));
    connect(tableView, &QTableWidget::itemSelectionChanged, this, [this] {
        loadFields();
        checkButtonStatus();
    });
    connect(txtCaption, &QLineEdit::textEdited, this, &FlashMenuDelegate::fieldsChanged);
    connect(txtContent, &QLineEdit::textEdited, this, &FlashMenuDelegate::fieldsChanged);
    connect(popType, &QComboBox::currentIndexChanged, this, &FlashMenuDelegate::fieldsChanged);

    m_items = FlashMenuItem::parseByXmlString(m_settingXmlString);
    reloadTable();
    selectRow(m_items.isEmpty() ? -1 : 0);
    loadFields();
    checkButtonStatus();
}

int FlashMenuDelegate::selectedRow() const
{
    const QList<QTableWidgetItem *> selected = tableView->selectedItems();
    const int row = selected.isEmpty() ? -1 : selected.first()->row();
    return row >= 0 && row < m_items.size() ? row : -1;
}

void FlashMenuDelegate::selectRow(int row)
{
    if (row < 0 || row >= m_items.size())
        tableView->clearSelection();
    else
        tableView->selectRow(row);
}

void FlashMenuDelegate::reloadRow(int row)
{
    const FlashMenuItem &item = m_items.at(row);
    const QStringList cells{item.caption(), displayName(item.type()),
                            FlashMenuItem::typeHasContent(item.type()) ? item.content() : QString()};
    for (int column = 0; column < cells.size(); ++column) {
        if (QTableWidgetItem *cell = tableView->item(row, column))
            cell->setText(cells.at(column));
        else
            tableView->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
}

void FlashMenuDelegate::reloadTable()
{
    const QSignalBlocker blocker(tableView);
    tableView->setRowCount(int(m_items.size()));
    for (int row = 0; row < m_items.size(); ++row)
        reloadRow(row);
}

void FlashMenuDelegate::loadFields()
{
    const int row = selectedRow();
    m_loadingFields = true;
    boxEntry->setEnabled(row >= 0);
    const FlashMenuItem item = row >= 0 ? m_items.at(row) : FlashMenuItem();
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
    FlashMenuItem &item = m_items[row];
    item.setCaption(txtCaption->text());
    item.setType(popType->currentIndex());
    item.setContent(txtContent->text());
    txtContent->setEnabled(FlashMenuItem::typeHasContent(item.type()));
    reloadRow(row);
}

void FlashMenuDelegate::checkButtonStatus()
{
    const int row = selectedRow();
    btnRemove->setEnabled(row >= 0);
    btnMoveUp->setEnabled(row > 0);
    btnMoveDown->setEnabled(row >= 0 && row < m_items.size() - 1);
}

void FlashMenuDelegate::onAdd()
{
    FlashMenuItem item;
    item.setCaption(displayName(FlashMenuItem::Share));
    m_items << item;
    reloadTable();
    selectRow(int(m_items.size()) - 1);
    txtCaption->setFocus();
    txtCaption->selectAll();
}

void FlashMenuDelegate::onRemove()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_items.removeAt(row);
    reloadTable();
    selectRow(std::min(row, int(m_items.size()) - 1));
    loadFields();
    checkButtonStatus();
}

void FlashMenuDelegate::onMoveUp()
{
    const int row = selectedRow();
    if (row <= 0)
        return;
    m_items.swapItemsAt(row, row - 1);
    reloadTable();
    selectRow(row - 1);
}

void FlashMenuDelegate::onMoveDown()
{
    const int row = selectedRow();
    if (row < 0 || row >= m_items.size() - 1)
        return;
    m_items.swapItemsAt(row, row + 1);
    reloadTable();
    selectRow(row + 1);
}

void FlashMenuDelegate::onOK()
{
    // An entry that goes nowhere would show in the book and do nothing.
    for (int row = 0; row < m_items.size(); ++row) {
        const FlashMenuItem &item = m_items.at(row);
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
    m_settingXmlString = FlashMenuItem::menuXmlString(m_items);
    closeWindowWithCode(1);
}

void FlashMenuDelegate::onCancel()
{
    closeWindowWithCode(0);
}
