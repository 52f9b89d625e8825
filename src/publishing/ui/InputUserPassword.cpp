#include "publishing/ui/InputUserPassword.h"

#include "foundation/AppStrings.h"
#include "output/security/BookSecurity.h"
#include "project/BookDocument.h"
#include "project/ProjectAccess.h"
#include "platform/ui/QvWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

InputUserPassword::InputUserPassword(QObject *parent)
    : WindowController(QStringLiteral("InputUserPassword"), WindowLoader::Lookup::Localized, parent),
      m_windowTitle(loadAppString(QStringLiteral("InputUserP-Input Password"), QStringLiteral("Input Password")))
{
}

void InputUserPassword::bindOutlets()
{
    outlet(_comBox, "_comBox");
    outlet(_txtPassword, "_txtPassword");
    outlet(_btnOK, "_btnOK");
    outlet(_btnCancel, "_btnCancel");
    outlet(lblUser, "lblUser");
}

void InputUserPassword::awakeFromNib()
{
    connect(_btnOK, &QPushButton::clicked, this, &InputUserPassword::onOK);
    connect(_btnCancel, &QPushButton::clicked, this, &InputUserPassword::onCancel);
    _comBox->clear();
    if (m_bookSecurity) {
        for (const QVariantMap &entry : m_bookSecurity->usersList())
            _comBox->addItem(entry.value(QStringLiteral("user")).toString());
        if (_comBox->count() > 0)
            _comBox->setCurrentIndex(0);
        m_user = _comBox->currentText();
        _txtPassword->clear();
    } else {
        _comBox->setEditText(m_user);
        _txtPassword->setText(m_password);
    }
    _comBox->setVisible(m_asksUserName);
    lblUser->setVisible(m_asksUserName);
    if (!m_windowTitle.isNull())
        window()->setWindowTitle(m_windowTitle);
    if (!m_asksUserName || !_comBox->currentText().isEmpty())
        _txtPassword->setFocus();
}

void InputUserPassword::onOK()
{
    m_user = _comBox->currentText();
    m_password = _txtPassword->text();
    closeWindowWithCode(1);
}

void InputUserPassword::onCancel()
{
    closeWindowWithCode(0);
}

BookProject::OpenCheckResult InputUserPassword::checkProjectAccess(BookDocument &document)
{
    BookSecurity *security = document.parts().security().get();
    const ProjectAccess::Question question = security ? ProjectAccess::questionFor(*security)
                                                       : ProjectAccess::Question::None;
    if (question == ProjectAccess::Question::None)
        return BookProject::OpenCheckResult::Granted;
    InputUserPassword dialog;
    dialog.setTitle(loadAppString(QStringLiteral("InputUserP-Input password"), QStringLiteral("Input password")));
    if (question == ProjectAccess::Question::UserAndPassword)
        dialog.setBookSecurity(security);
    else
        dialog.setAsksUserName(false);
    dialog.center();
    if (dialog.runModal() != 1)
        return BookProject::OpenCheckResult::Cancelled;
    if (!ProjectAccess::grants(*security, dialog.user(), dialog.password()))
        return BookProject::OpenCheckResult::Refused;
    // The preview of the book takes the same answer: it is not asked for twice.
    document.setAccessAnswer(BookDocument::AccessAnswer{
        question == ProjectAccess::Question::UserAndPassword ? dialog.user() : QString(), dialog.password()});
    return BookProject::OpenCheckResult::Granted;
}
