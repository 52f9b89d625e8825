#include "furnishings/ui/ShareLinks.h"

#include "foundation/AppLog.h"
#include "foundation/AppStrings.h"
#include "furnishings/ShareLinksCollection.h"
#include "furnishings/ShareLinksModel.h"
#include "platform/ui/DragOutToDelete.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"

#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

const QStringList kMacros{QStringLiteral("${title}"), QStringLiteral("${url}"), QStringLiteral("${url_no_page}"),
                          QStringLiteral("${url_parent}"), QStringLiteral("${url_top}")};

} // namespace

ShareLinks::ShareLinks(QObject *parent)
    : WindowController(QStringLiteral("ShareLinks"), WindowLoader::Lookup::Localized, parent),
      m_model(new ShareLinksModel(this))
{
    m_macroMenu = new QMenu(QStringLiteral("MACRO"));
    for (const QString &macro : kMacros)
        connect(m_macroMenu->addAction(macro), &QAction::triggered, this, [this, macro] { onAddMacro(macro); });
}

ShareLinks::~ShareLinks()
{
    delete m_macroMenu;
}

void ShareLinks::setLogoResolver(std::function<QString(const QString &)> resolver)
{
    m_resolver = resolver;
    m_model->setLogoResolver(std::move(resolver));
}

void ShareLinks::bindOutlets()
{
    outlet(tableView, "tableView");
    outlet(txtCaption, "txtCaption");
    outlet(txtUrlAddr, "txtUrlAddr");
    outlet(txtLogo, "txtLogo");
    outlet(btnAdd, "btnAdd");
    outlet(btnRemove, "btnRemove");
    outlet(btnClearAll, "btnClearAll");
    outlet(btnMoveUp, "btnMoveUp");
    outlet(btnMoveDown, "btnMoveDown");
    outlet(btnEdit, "btnEdit");
    outlet(btnMacro, "btnMacro");
    outlet(btnBrose, "btnBrose");
    outlet(btnDefault, "btnDefault");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
}

void ShareLinks::awakeFromNib()
{
    _selectedRow = -1;
    window()->setMinimumSize(700, 300);
    btnDefault->setText(loadAppString(QStringLiteral("ShareLins-Default"), QStringLiteral("Default")));
    btnMacro->setText(loadAppString(QStringLiteral("ShareLins-Macro"), QStringLiteral("Macro")));
    btnOK->setText(loadAppString(QStringLiteral("OK"), QStringLiteral("OK")));
    btnCancel->setText(loadAppString(QStringLiteral("Cancel"), QStringLiteral("Cancel")));

    tableView->setModel(m_model);
    tableView->verticalHeader()->hide();
    QHeaderView *header = tableView->horizontalHeader();
    header->setSectionResizeMode(ShareLinksModel::CaptionColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(ShareLinksModel::UrlColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(ShareLinksModel::LogoColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ShareLinksModel::StatusColumn, QHeaderView::ResizeToContents);
    tableView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ShareLinks::selectionDidChange);
    // A reset of the list drops the selection without a word: the shown row goes too.
    connect(m_model, &QAbstractItemModel::modelReset, this, &ShareLinks::selectionDidChange);
    // A button edited in the table shows in the fields too.
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from, const QModelIndex &to) {
        if (_selectedRow >= from.row() && _selectedRow <= to.row())
            updateDispItem();
    });

    // Rows dragged out of the window are deleted; a drag inside moves them.
    m_dragOut = new DragOutToDelete(
        m_model->registDragType(),
        [this](const QByteArray &rows) {
            const QList<int> dragged = m_model->takeDraggedRows(rows);
            if (dragged.isEmpty())
                return;
            m_model->removeRows(dragged);
            clearSelection();
        },
        this);
    m_dragOut->setList(tableView);
    m_dragOut->attachToWindow();
    connect(m_model, &RowListModel::dragStarted, m_dragOut, &DragOutToDelete::dragStarted);
    connect(m_model, &RowListModel::rowsDropped, this, [this](const QList<int> &rows) {
        m_dragOut->onDeleteWindowDismiss();
        selectRow(rows.value(0, -1));
    });

    connect(btnAdd, &QPushButton::clicked, this, &ShareLinks::onAddIcons);
    connect(btnRemove, &QPushButton::clicked, this, &ShareLinks::onRemoveSelectedIcons);
    connect(btnClearAll, &QPushButton::clicked, this, &ShareLinks::onClearAll);
    connect(btnMoveUp, &QPushButton::clicked, this, &ShareLinks::onMoveUp);
    connect(btnMoveDown, &QPushButton::clicked, this, &ShareLinks::onMoveDown);
    connect(btnEdit, &QPushButton::clicked, this, &ShareLinks::onEditInformation);
    connect(btnMacro, &QPushButton::clicked, this, &ShareLinks::onOpenMacroMenu);
    connect(btnBrose, &QPushButton::clicked, this, &ShareLinks::onBrowseLogo);
    connect(btnDefault, &QPushButton::clicked, this, &ShareLinks::onDefault);
    connect(btnOK, &QPushButton::clicked, this, &ShareLinks::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &ShareLinks::onCancel);
    for (QLineEdit *field : {txtCaption, txtUrlAddr})
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
    txtCaption->clear();
    // A click on the window's background (not on a control) ends the showing of a row.
    window()->installEventFilter(this);

    loadSettings();
    checkButtonStatus();
    updateDispItem();
    setEditStatus(true);
}

bool ShareLinks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window() && event->type() == QEvent::MouseButtonPress)
        innerViewClick();
    return WindowController::eventFilter(watched, event);
}

void ShareLinks::loadSettings()
{
    m_model->setIconsList(ShareLinksCollection::collectionForBook(m_settingXmlString));
    clearSelection();
}

bool ShareLinks::saveSettings()
{
    QString error;
    if (ShareLinksCollection::saveCollection(m_model->iconsList(), &error))
        return true;
    AppLog::shared().log(QStringLiteral("Error:share links: %1").arg(error));
    return false;
}

void ShareLinks::windowWillClose()
{
    if (QWidget *editor = tableView->indexWidget(tableView->currentIndex()))
        editor->clearFocus(); // an edit in the table is committed first
    tableView->setEnabled(false);
    saveSettings();
}

void ShareLinks::selectRow(int row)
{
    if (!m_model->itemAt(row)) {
        clearSelection();
        return;
    }
    tableView->selectionModel()->select(m_model->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tableView->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    selectionDidChange();
}

void ShareLinks::clearSelection()
{
    tableView->selectionModel()->clearSelection();
    selectionDidChange();
}

void ShareLinks::selectionDidChange()
{
    const QModelIndexList rows = tableView->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    _selectedRow = m_model->itemAt(row) ? row : -1;
    checkButtonStatus();
    if (_selectedRow >= 0) {
        updateDispItem();
        setEditStatus(false);
    } else {
        setEditStatus(true);
    }
}

void ShareLinks::setEditStatus(bool editing)
{
    for (QWidget *control : std::initializer_list<QWidget *>{btnAdd, txtCaption, txtUrlAddr, txtLogo, btnBrose, btnMacro})
        control->setEnabled(editing);
    btnEdit->setEnabled(!editing && m_model->itemAt(_selectedRow));
}

void ShareLinks::checkButtonStatus()
{
    const bool valid = m_model->itemAt(_selectedRow) != nullptr;
    btnRemove->setEnabled(valid);
    btnMoveUp->setEnabled(valid && _selectedRow > 0);
    btnMoveDown->setEnabled(valid && _selectedRow < m_model->rowCount() - 1);
    btnClearAll->setEnabled(m_model->rowCount() > 0);
}

void ShareLinks::updateDispItem()
{
    const ShareLinksItem *item = m_model->itemAt(_selectedRow);
    if (!item)
        return;
    // Only a field that differs is set, so typing into one keeps its cursor.
    const auto show = [](QLineEdit *field, const QString &text) {
        if (field->text() != text)
            field->setText(text);
    };
    show(txtCaption, item->title());
    show(txtUrlAddr, item->links());
    const QString own = m_resolver ? m_resolver(item->logo()) : item->logo();
    show(txtLogo, !own.isEmpty() && QFileInfo::exists(own) ? item->logo() : m_model->logoFileFor(*item));
}

void ShareLinks::controlTextDidChange(QLineEdit *field)
{
    if (!m_model->itemAt(_selectedRow))
        return;
    if (field == txtCaption)
        m_model->setTitle(_selectedRow, field->text());
    else if (field == txtUrlAddr)
        m_model->setLinks(_selectedRow, field->text());
}

void ShareLinks::onAddIcons()
{
    ShareLinksItem item;
    item.setTitle(txtCaption->text().trimmed());
    item.setLinks(txtUrlAddr->text().trimmed());
    item.setLogo(txtLogo->text().trimmed());
    if (item.links().isEmpty())
        return; // a button needs somewhere to go
    const int row = m_model->append(item);
    tableView->scrollTo(m_model->index(row, 0));
    selectRow(row);
}

void ShareLinks::onRemoveSelectedIcons()
{
    if (!m_model->itemAt(_selectedRow))
        return;
    if (!LogAlert::askOKCancel(loadAppString(QStringLiteral("Are you sure to delete the selected item(s)?"),
                                             QStringLiteral("Are you sure to delete the selected item(s)?")),
                               QString()))
        return;
    m_model->removeRows({_selectedRow});
    clearSelection();
}

void ShareLinks::onClearAll()
{
    if (!LogAlert::askOKCancel(loadAppString(QStringLiteral("Are you sure you want to delete all the items?"),
                                             QStringLiteral("Are you sure you want to delete all the items?")),
                               QString()))
        return;
    m_model->setIconsList({});
    clearSelection();
}

void ShareLinks::onMoveUp()
{
    if (m_model->itemAt(_selectedRow))
        selectRow(m_model->moveUp(_selectedRow));
}

void ShareLinks::onMoveDown()
{
    if (m_model->itemAt(_selectedRow))
        selectRow(m_model->moveDown(_selectedRow));
}

void ShareLinks::onEditInformation()
{
    setEditStatus(true);
}

void ShareLinks::onOpenMacroMenu()
{
    m_macroMenu->popup(btnMacro->mapToGlobal(QPoint(0, btnMacro->height())));
}

void ShareLinks::onAddMacro(const QString &macro)
{
    // Typed in at the cursor, as if the user had typed it; the clipboard is left alone.
    txtUrlAddr->insert(macro);
    txtUrlAddr->setFocus();
    controlTextDidChange(txtUrlAddr);
}

void ShareLinks::onBrowseLogo()
{
    m_panel = std::make_unique<QvPanel>();
    m_panel->setOwer(this);
    const QString title = loadAppString(QStringLiteral("ShareLins-Select Image files"), QStringLiteral("Select Image files"));
    m_panel->setTitle(title);
    m_panel->setPrompt(title);
    m_panel->setCanChooseFiles(true);
    m_panel->setCanChooseDirectories(false);
    m_panel->setTypes({QStringLiteral("png"), QStringLiteral("ico"), QStringLiteral("bmp"), QStringLiteral("gif"),
                       QStringLiteral("jpg"), QStringLiteral("tiff")});
    m_panel->setEndPanelSelector([this](QvPanel *panel) {
        const QString path = panel->URL().toLocalFile();
        txtLogo->setText(path);
        if (m_model->itemAt(_selectedRow))
            m_model->setLogo(_selectedRow, path);
    });
    m_panel->runModel();
}

void ShareLinks::onDefault()
{
    m_model->setIconsList(ShareLinksCollection::defaultCollection());
    clearSelection();
}

void ShareLinks::innerViewClick()
{
    if (!btnAdd->isEnabled())
        clearSelection();
}

void ShareLinks::onOK()
{
    if (QWidget *editor = tableView->indexWidget(tableView->currentIndex()))
        editor->clearFocus();
    m_settingXmlString = ShareLinksCollection::checkedLinksXml(m_model->iconsList());
    closeWindowWithCode(1);
}

void ShareLinks::onCancel()
{
    closeWindowWithCode(0);
}
