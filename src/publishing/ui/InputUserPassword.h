#pragma once
// Asks for a user name and a password. Given a BookSecurity, its users fill the name
// box (the first one chosen) and the password starts empty; without one the boxes
// start with user() and password(). setAsksUserName(false) hides the name row, for a
// book protected by one password. OK closes with 1 and the answer in user() and
// password(); Cancel with 0.
//
// checkProjectAccess() is the question a protected project asks before it opens
// (BookProject::setOpenCheck).

#include "platform/ui/WindowController.h"
#include "project/BookProject.h"

class BookSecurity;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class InputUserPassword : public WindowController
{
    Q_OBJECT
public:
    explicit InputUserPassword(QObject *parent = nullptr);

    BookSecurity *bookSecurity() const { return m_bookSecurity; }
    void setBookSecurity(BookSecurity *security) { m_bookSecurity = security; }
    QString user() const { return m_user; }
    void setUser(const QString &user) { m_user = user; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString title() const { return m_windowTitle; }
    void setTitle(const QString &title) { m_windowTitle = title; }
    bool asksUserName() const { return m_asksUserName; }
    void setAsksUserName(bool asks) { m_asksUserName = asks; }

    // Asks for the password of a protected project (nothing for an open one) and
    // checks the answer.
    static BookProject::OpenCheckResult checkProjectAccess(BookDocument &document);

public slots:
    void onOK();
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    BookSecurity *m_bookSecurity = nullptr;
    QString m_user;
    QString m_password;
    QString m_windowTitle;
    bool m_asksUserName = true;

    QComboBox *_comBox = nullptr;
    QLineEdit *_txtPassword = nullptr;
    QPushButton *_btnOK = nullptr;
    QPushButton *_btnCancel = nullptr;
    QLabel *lblUser = nullptr;
};
