#pragma once
// The user list editor of a protected book: a table of user names and passwords over
// the given BookSecurity's usersList (UsersListModel), changed in place. Users are added
// with generated names and passwords (the generator's settings are kept in
// ".pgSettings"), edited in the table, moved with the buttons or by dragging, deleted
// with the button or by dragging them out of the window. The list is exported as
// "users_list.zip" and loaded from a "UserList.scfm" file dropped on the window.
//
// The editor has no Cancel: it ends with 1 however it is closed.

#include "platform/ui/WindowController.h"
#include "platform/ui/DragDeleteDelegate.h"

#include <memory>

class BookSecurity;
class DragDeleteDetectView;
class DragFileImport;
class PasswordGenerator;
class PGSettings;
class QLabel;
class QPushButton;
class QvPanel;
class QTableView;
class UsersListModel;

class UsersListSecurity : public WindowController, public DragDeleteReceiver
{
    Q_OBJECT
public:
    explicit UsersListSecurity(QObject *parent = nullptr);
    ~UsersListSecurity() override;

    BookSecurity *bookSecurity() const { return m_bookSecurity; }
    // Before the window is first asked for.
    void setBookSecurity(BookSecurity *security) { m_bookSecurity = security; }
    PasswordGenerator *passwordGenerator() const { return m_passwordGenerator.get(); }
    UsersListModel *model() const { return m_model; }
    DragFileImport *dragFileImport() const { return m_dragFileImport; }
    PGSettings *pgSettingsSheet() const { return _pgSettings.get(); }

    // The selected rows, in order.
    QList<int> selectedRows() const;
    void selectRows(const QList<int> &rows);

    // Writes the package; shows the outcome. True when it was written.
    bool saveUserListToPath(const QString &path);
    // Replaces the list with the usable users of a "UserList.scfm" file; a file with
    // none leaves the list as it was and says why. True when the list was replaced.
    bool loadUserListFromSCF(const QString &path);

    void loadPasswordGeneratorSettings();
    void savePasswordGeneratorSettings();

    void DeleteWindowDragEnd(const Notification &notification) override;

public slots:
    void onAdd();
    void onRemove();
    void onMoveUp();
    void onMoveDown();
    void onExportUserList();
    void onSaveUserListFile();
    void onOpenPGSettings();
    void checkButtonStatus();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    void alertExportSucceed(const QString &path);
    void alertExportFailed(const QString &reason);
    void onEditRefused(const QString &message, const QString &detail);

    BookSecurity *m_bookSecurity = nullptr;
    std::unique_ptr<BookSecurity> m_ownSecurity;
    std::unique_ptr<PasswordGenerator> m_passwordGenerator;
    std::unique_ptr<PGSettings> _pgSettings;
    std::unique_ptr<QvPanel> m_savePanel;
    std::unique_ptr<DragDeleteDelegate> m_dragDeleteCtrl;
    DragDeleteDetectView *_dragDeleteView = nullptr;
    UsersListModel *m_model = nullptr;
    DragFileImport *m_dragFileImport = nullptr;

    QPushButton *btnAdd = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnMoveUp = nullptr;
    QPushButton *btnMoveDown = nullptr;
    QPushButton *btnExport = nullptr;
    QPushButton *btnPGSeting = nullptr;
    QPushButton *btnClose = nullptr;
    QTableView *tableView = nullptr;
    QLabel *lblEarlierKey = nullptr; // who keeps access through an earlier book's key, and who has none
};
