#pragma once
// The book security dialog: how a published book is protected (not at all, by one
// password, or by a list of users with their passwords) and whether its first pages
// stay readable. It edits the BookSecurity it is given in place (the open book's, from
// the design-settings outline); the output engine reads that when the book is written.
//
// The single password can be generated (the generator's settings are kept in
// "sp.pgSettings"); the user list is edited in UsersListSecurity. OK writes the
// controls into the book and also saves them as the default for later books ("Save as
// Default" does only that; "Default" reads the default back). OK refuses one password
// that is empty and a users list without users. Closing the user list editor with no
// users turns the protection off (a book nobody could open is never kept).
//
// registerSecurityEditor() lets the design-settings outline's security setting open the
// dialog; the setting's value becomes the name of the chosen kind.

#include "platform/ui/WindowController.h"

#include <memory>

class BookSecurity;
class PasswordGenerator;
class PGSettings;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TemplateEditorRegistry;
class UsersListSecurity;

class BookSecurityDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit BookSecurityDelegate(QObject *parent = nullptr);
    ~BookSecurityDelegate() override;

    // The object edited; a new one of the dialog's own until the owner gives its own
    // (before the window is first asked for).
    BookSecurity *bookSecurity() const { return m_bookSecurity; }
    void setBookSecurity(BookSecurity *security);
    PasswordGenerator *passwordGenerator() const { return m_passwordGenerator.get(); }
    // The user list editor and the generator settings sheet last opened (null before).
    UsersListSecurity *usersListEditor() const { return _userListCtrl.get(); }
    PGSettings *pgSettingsSheet() const { return _pgSettings.get(); }

    // The value of the design setting "securitySetting" for a security type:
    // "No Security", "Single Password", or the users list's value.
    static QString flashSecurityName(int securityType);
    // What the setting's row shows for its value: the type's name, for people.
    static QString securityDisplayName(const QString &value);
    // The setting's opener for the security dialog ("security" value source): runs the
    // dialog on BookSecurity::shareInstance() and answers the name of the kind chosen.
    static void registerSecurityEditor(TemplateEditorRegistry &registry);

    void loadPasswordGeneratorSettings();
    void savePasswordGeneratorSettings();

public slots:
    void onTypeChange();
    void checkObjectStatus();
    void refreshUserInfo();
    void onGenerateSinglePassword();
    void onOpenPGSettings();
    void onEditUserList();
    void onOpenUsersListWindow();
    void onSaveAsDefault();
    void onDefault();
    void onCancel();
    void onOK();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    void showValues();
    void onFrontPagesEdited();
    void writeControls();
    int selectedSecurityType() const;

    std::unique_ptr<BookSecurity> m_ownSecurity;
    BookSecurity *m_bookSecurity = nullptr;
    std::unique_ptr<PasswordGenerator> m_passwordGenerator;
    std::unique_ptr<PGSettings> _pgSettings;
    std::unique_ptr<UsersListSecurity> _userListCtrl;

    QWidget *matSecurityType = nullptr;
    QLineEdit *txtSinglePassword = nullptr;
    QPushButton *btnRefreshSP = nullptr;
    QPushButton *btnPGSettings = nullptr;
    QWidget *matProtectRange = nullptr;
    QLineEdit *txtExdudeFrontPages = nullptr;
    QLabel *lblUserInfo = nullptr;
    QPushButton *btnEditUserInfo = nullptr;
    QPushButton *btnSaveAsDefault = nullptr;
    QPushButton *btnDefault = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnOK = nullptr;
};
