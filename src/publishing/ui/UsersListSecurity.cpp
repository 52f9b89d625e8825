#include "publishing/ui/UsersListSecurity.h"

#include "foundation/AppStrings.h"
#include "output/security/BookSecurity.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragDeleteDetectView.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/Workspace.h"
#include "publishing/PasswordGenerator.h"
#include "publishing/PasswordGeneratorSettings.h"
#include "publishing/UserListPackage.h"
#include "publishing/UsersListModel.h"
#include "publishing/ui/PGSettings.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

UsersListSecurity::UsersListSecurity(QObject *parent)
    : WindowController(QStringLiteral("USersListSecurity"), WindowLoader::Lookup::Localized, parent)
{
}

UsersListSecurity::~UsersListSecurity()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void UsersListSecurity::bindOutlets()
{
    outlet(btnAdd, "btnAdd");
    outlet(btnRemove, "btnRemove");
    outlet(btnMoveUp, "btnMoveUp");
    outlet(btnMoveDown, "btnMoveDown");
    outlet(btnExport, "btnExport");
    outlet(btnPGSeting, "btnPGSeting");
    outlet(btnClose, "btnClose");
    outlet(tableView, "tableView");
    outlet(lblEarlierKey, "lblEarlierKey");
}

void UsersListSecurity::awakeFromNib()
{
    if (!m_bookSecurity) {
        m_ownSecurity = std::make_unique<BookSecurity>();
        m_bookSecurity = m_ownSecurity.get();
    }
    setCloseMode(1); // every change is in the book at once: there is nothing to cancel
    connect(btnAdd, &QPushButton::clicked, this, &UsersListSecurity::onAdd);
    connect(btnRemove, &QPushButton::clicked, this, &UsersListSecurity::onRemove);
    connect(btnMoveUp, &QPushButton::clicked, this, &UsersListSecurity::onMoveUp);
    connect(btnMoveDown, &QPushButton::clicked, this, &UsersListSecurity::onMoveDown);
    connect(btnExport, &QPushButton::clicked, this, &UsersListSecurity::onExportUserList);
    connect(btnPGSeting, &QPushButton::clicked, this, &UsersListSecurity::onOpenPGSettings);
    connect(btnClose, &QPushButton::clicked, this, &WindowController::close);

    m_model = new UsersListModel(m_bookSecurity, this);
    tableView->setModel(m_model);
    tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableView->verticalHeader()->hide();
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &UsersListSecurity::checkButtonStatus);
    connect(m_model, &QAbstractItemModel::modelReset, this, &UsersListSecurity::checkButtonStatus);
    // Which users read from a book keep access through the key of the book they came
    // from (which books made from the list then keep), and which have none.
    const auto showAccessNote = [this] {
        const QString note = m_model->accessNote();
        lblEarlierKey->setText(note);
        lblEarlierKey->setVisible(!note.isEmpty());
    };
    connect(m_model, &QAbstractItemModel::modelReset, this, showAccessNote);
    connect(m_model, &QAbstractItemModel::dataChanged, this, showAccessNote);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, showAccessNote);
    showAccessNote();
    connect(m_model, &UsersListModel::editRefused, this, &UsersListSecurity::onEditRefused);
    connect(m_model, &UsersListModel::rowsDropped, this, &UsersListSecurity::selectRows);
    loadPasswordGeneratorSettings();

    // Rows dragged out of the window are deleted.
    const QString rowType = UsersListModel::usersListDataType();
    _dragDeleteView = DragDeleteDetectView::addDragDetectViewtoWindow(window(), {rowType}, tableView);
    m_dragDeleteCtrl = std::make_unique<DragDeleteDelegate>(QStringList{rowType}, tableView);

    // A "UserList.scfm" dropped anywhere on the window is loaded.
    m_dragFileImport = DragFileImport::coverWidget(window(), {QStringLiteral("scfm")});
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_dragFileImport,
                                                     [this](const Notification &) {
                                                         performOnMainThread(
                                                             [this] {
                                                                 const QStringList paths = m_dragFileImport->dragResult();
                                                                 if (!paths.isEmpty())
                                                                     loadUserListFromSCF(paths.first());
                                                             },
                                                             this);
                                                     });
    checkButtonStatus();
}

void UsersListSecurity::windowWillClose()
{
    if (QWidget *editor = tableView->indexWidget(tableView->currentIndex()))
        editor->clearFocus();
    savePasswordGeneratorSettings();
}

QList<int> UsersListSecurity::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : tableView->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void UsersListSecurity::selectRows(const QList<int> &rows)
{
    QItemSelection selection;
    for (int row : rows)
        selection.select(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
    tableView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty())
        tableView->selectionModel()->setCurrentIndex(m_model->index(rows.first(), 0), QItemSelectionModel::NoUpdate);
    checkButtonStatus();
}

void UsersListSecurity::checkButtonStatus()
{
    const QList<int> rows = selectedRows();
    const int count = m_model->rowCount();
    const bool any = !rows.isEmpty() && rows.last() < count;
    btnRemove->setEnabled(any);
    btnMoveUp->setEnabled(any && rows.first() > 0);
    btnMoveDown->setEnabled(any && rows.last() < count - 1);
}

void UsersListSecurity::onEditRefused(const QString &message, const QString &detail)
{
    // Told after the cell editor has gone.
    performOnMainThread([message, detail] { LogAlert::alertMessage(message, detail); }, this);
}

void UsersListSecurity::onAdd()
{
    const int row = m_model->addUser(*m_passwordGenerator);
    if (row < 0) {
        LogAlert::alertMessage(
            loadAppString(QStringLiteral("UsersListS-No password could be made."), QStringLiteral("No password could be made.")),
            loadAppString(QStringLiteral("UsersListS-The password options leave no character to choose from."),
                          QStringLiteral("The password options leave no character to choose from.")));
        return;
    }
    selectRows({row});
    tableView->scrollTo(m_model->index(row, 0));
}

void UsersListSecurity::onRemove()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    if (LogAlert::askOKCancel(loadAppString(QStringLiteral("Are you sure to delete the selected item(s)?"),
                                            QStringLiteral("Are you sure to delete the selected item(s)?")),
                              QString()))
        m_model->removeUserRows(rows);
    checkButtonStatus();
}

void UsersListSecurity::onMoveUp()
{
    tableView->setFocus(); // an edit in progress is committed first
    const QList<int> placed = m_model->moveUp(selectedRows());
    if (!placed.isEmpty())
        selectRows(placed);
}

void UsersListSecurity::onMoveDown()
{
    tableView->setFocus();
    const QList<int> placed = m_model->moveDown(selectedRows());
    if (!placed.isEmpty())
        selectRows(placed);
}

void UsersListSecurity::DeleteWindowDragEnd(const Notification &notification)
{
    auto *deleter = qobject_cast<DragDeleteDelegate *>(const_cast<QObject *>(notification.object));
    if (!deleter || deleter != m_dragDeleteCtrl.get())
        return;
    const QList<int> rows = m_model->takeDraggedRows(deleter->dragResult().value(UsersListModel::usersListDataType()));
    if (rows.isEmpty())
        return;
    m_model->removeUserRows(rows);
    DragDeleteDelegate::showDisappearingItemAnimation(deleter->dropPoint());
    checkButtonStatus();
}

void UsersListSecurity::onExportUserList()
{
    performOnMainThread([this] { onSaveUserListFile(); }, this);
}

void UsersListSecurity::onSaveUserListFile()
{
    m_savePanel = std::make_unique<QvPanel>();
    m_savePanel->setIsOpenPanel(false);
    m_savePanel->setOwer(this);
    m_savePanel->setTitle(loadAppString(QStringLiteral("UsersListS-Export the users and their passwords (in plain text)"),
                                        QStringLiteral("Export the users and their passwords (in plain text)")));
    m_savePanel->setTypes({QStringLiteral("zip")});
    m_savePanel->setNameFieldStringValue(UserListPackage::packageFileName());
    m_savePanel->setEndPanelSelector([this](QvPanel *panel) {
        const QString path = panel->URL().toLocalFile();
        if (!path.isEmpty())
            saveUserListToPath(path);
    });
    m_savePanel->runModel();
}

bool UsersListSecurity::saveUserListToPath(const QString &path)
{
    QString error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor); // every user's code is made again
    const bool written = UserListPackage::exportPackage(*m_bookSecurity, path, &error);
    QGuiApplication::restoreOverrideCursor();
    if (written)
        alertExportSucceed(path);
    else
        alertExportFailed(error);
    return written;
}

void UsersListSecurity::alertExportSucceed(const QString &path)
{
    if (LogAlert::askOKCancel(
            loadAppString(QStringLiteral("UsersListS-Export user list successfully,Congratulation!"),
                          QStringLiteral("Export user list successfully,Congratulation!")),
            loadAppString(QStringLiteral("UsersListS-The packet includes \"users.txt\",\"readme.txt\" and \"UserList.scfm\".Show it in its folder now?"),
                          QStringLiteral("The packet includes \"users.txt\",\"readme.txt\" and \"UserList.scfm\".Show it in its folder now?"))))
        Workspace::selectFile(path);
}

void UsersListSecurity::alertExportFailed(const QString &reason)
{
    QString text = loadAppString(QStringLiteral("UsersListS-Please try again or contact us."),
                                 QStringLiteral("Please try again or contact us."));
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + reason;
    LogAlert::alertMessage(loadAppString(QStringLiteral("UsersListS-Export user list failed!"),
                                         QStringLiteral("Export user list failed!")),
                           text);
}

bool UsersListSecurity::loadUserListFromSCF(const QString &path)
{
    QString error;
    const std::optional<QList<QVariantMap>> entries = UserListPackage::readUserListFile(path, &error);
    if (!entries) {
        // Nothing usable: the list stays as it was.
        LogAlert::alertMessage(loadAppString(QStringLiteral("UsersListS-The users list could not be loaded."),
                                             QStringLiteral("The users list could not be loaded.")),
                               QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), error));
        return false;
    }
    m_model->replaceUsers(*entries);
    return true;
}

void UsersListSecurity::onOpenPGSettings()
{
    _pgSettings = std::make_unique<PGSettings>();
    _pgSettings->setPasswordGenerator(m_passwordGenerator.get());
    _pgSettings->beginSheet(window());
}

void UsersListSecurity::loadPasswordGeneratorSettings()
{
    m_passwordGenerator = PasswordGeneratorSettings::load(PasswordGeneratorSettings::usersListFile());
}

void UsersListSecurity::savePasswordGeneratorSettings()
{
    if (m_passwordGenerator)
        PasswordGeneratorSettings::save(*m_passwordGenerator, PasswordGeneratorSettings::usersListFile());
}
