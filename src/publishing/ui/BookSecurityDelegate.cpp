#include "publishing/ui/BookSecurityDelegate.h"

#include "foundation/AppStrings.h"
#include "output/security/BookSecurity.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "publishing/PasswordGenerator.h"
#include "publishing/PasswordGeneratorSettings.h"
#include "publishing/ui/PGSettings.h"
#include "publishing/ui/UsersListSecurity.h"
#include "templates/TemplateNotifications.h"
#include "templates/ui/TemplateEditorRegistry.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

// The leading whole number of a text as it is shown again ("007" -> "7", "x" -> "0").
QString leadingNumberText(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?)0*(\\d{1,9})"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return QStringLiteral("0");
    const qint64 value = match.captured(2).toLongLong();
    return QString::number(match.captured(1) == QLatin1String("-") ? -value : value);
}

} // namespace

BookSecurityDelegate::BookSecurityDelegate(QObject *parent)
    : WindowController(QStringLiteral("BookSecurityDelegate"), WindowLoader::Lookup::Localized, parent),
      m_ownSecurity(std::make_unique<BookSecurity>()), m_bookSecurity(m_ownSecurity.get())
{
    loadPasswordGeneratorSettings();
}

BookSecurityDelegate::~BookSecurityDelegate() = default;

void BookSecurityDelegate::setBookSecurity(BookSecurity *security)
{
    m_bookSecurity = security ? security : m_ownSecurity.get();
}

QString BookSecurityDelegate::flashSecurityName(int securityType)
{
    switch (securityType) {
    case BookSecurity::SinglePassword: return QStringLiteral("Single Password");
    case BookSecurity::UserList: return QStringLiteral("<SecurityInfo><Security type=\"users\"/></SecurityInfo>");
    default: return QStringLiteral("No Security");
    }
}

QString BookSecurityDelegate::securityDisplayName(const QString &value)
{
    // The setting keeps the names of the security types (the user list's as markup);
    // a value that is none of them is shown as it is.
    if (value.trimmed() == flashSecurityName(BookSecurity::UserList))
        return loadAppString(QStringLiteral("BookSecurityD-User List"), QStringLiteral("User List"));
    if (value.trimmed() == flashSecurityName(BookSecurity::SinglePassword))
        return loadAppString(QStringLiteral("BookSecurityD-Single Password"), QStringLiteral("Single Password"));
    if (value.trimmed() == flashSecurityName(BookSecurity::NoSecurity))
        return loadAppString(QStringLiteral("BookSecurityD-No Security"), QStringLiteral("No Security"));
    return value;
}

void BookSecurityDelegate::registerSecurityEditor(TemplateEditorRegistry &registry)
{
    registry.registerDisplayText(QStringLiteral("security"),
                                 [](const TemplateEditorRequest &setting) { return securityDisplayName(setting.value); });
    registry.registerEditor(QStringLiteral("security"), [](const TemplateEditorRequest &request) {
        BookSecurity *security = BookSecurity::shareInstance();
        const QVariantMap before = security->toDictionary();
        BookSecurityDelegate dialog;
        dialog.setBookSecurity(security);
        dialog.center();
        dialog.runModal();
        const QString name = flashSecurityName(security->securityType());
        // The book's protection is no template setting: when its name stays, the change
        // is announced here, so the book counts as changed and the preview is rebuilt.
        if (name == request.value && security->toDictionary() != before)
            NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, &dialog,
                                                                  {{QStringLiteral("key"), request.key}});
        return std::optional<QString>(name);
    });
}

void BookSecurityDelegate::bindOutlets()
{
    outlet(matSecurityType, "matSecurityType");
    outlet(txtSinglePassword, "txtSinglePassword");
    outlet(btnRefreshSP, "btnRefreshSP");
    outlet(btnPGSettings, "btnPGSettings");
    outlet(matProtectRange, "matProtectRange");
    outlet(txtExdudeFrontPages, "txtExdudeFrontPages");
    outlet(lblUserInfo, "lblUserInfo");
    outlet(btnEditUserInfo, "btnEditUserInfo");
    outlet(btnSaveAsDefault, "btnSaveAsDefault");
    outlet(btnDefault, "btnDefault");
    outlet(btnCancel, "btnCancel");
    outlet(btnOK, "btnOK");
    if (RadioMatrix::cells(matSecurityType).size() != 3 || RadioMatrix::cells(matProtectRange).size() != 2)
        throw WindowLoadError("Window \"BookSecurityDelegate\": the security matrices lack cells");
}

void BookSecurityDelegate::awakeFromNib()
{
    showValues();
    for (QWidget *matrix : {matSecurityType, matProtectRange}) {
        for (QAbstractButton *cell : RadioMatrix::cells(matrix))
            connect(cell, &QAbstractButton::toggled, this, &BookSecurityDelegate::onTypeChange);
    }
    connect(btnCancel, &QPushButton::clicked, this, &BookSecurityDelegate::onCancel);
    connect(btnOK, &QPushButton::clicked, this, &BookSecurityDelegate::onOK);
    connect(btnSaveAsDefault, &QPushButton::clicked, this, &BookSecurityDelegate::onSaveAsDefault);
    connect(btnDefault, &QPushButton::clicked, this, &BookSecurityDelegate::onDefault);
    connect(btnEditUserInfo, &QPushButton::clicked, this, &BookSecurityDelegate::onEditUserList);
    connect(btnRefreshSP, &QPushButton::clicked, this, &BookSecurityDelegate::onGenerateSinglePassword);
    connect(btnPGSettings, &QPushButton::clicked, this, &BookSecurityDelegate::onOpenPGSettings);
    connect(txtExdudeFrontPages, &QLineEdit::textEdited, this, &BookSecurityDelegate::onFrontPagesEdited);
    checkObjectStatus();
    refreshUserInfo();
}

void BookSecurityDelegate::showValues()
{
    RadioMatrix::selectCellWithTag(matSecurityType, m_bookSecurity->securityType());
    RadioMatrix::selectCellWithTag(matProtectRange, m_bookSecurity->pageProtectType() != 0 ? 1 : 0);
    txtSinglePassword->setText(m_bookSecurity->password());
    txtExdudeFrontPages->setText(m_bookSecurity->exceptPages());
}

int BookSecurityDelegate::selectedSecurityType() const
{
    return RadioMatrix::selectedTag(matSecurityType);
}

void BookSecurityDelegate::onTypeChange()
{
    checkObjectStatus();
}

void BookSecurityDelegate::checkObjectStatus()
{
    const int type = selectedSecurityType();
    const bool single = type == BookSecurity::SinglePassword;
    txtSinglePassword->setEnabled(single);
    btnRefreshSP->setEnabled(single);
    btnPGSettings->setEnabled(single);
    btnEditUserInfo->setEnabled(type == BookSecurity::UserList);
    matProtectRange->setEnabled(type != BookSecurity::NoSecurity);
    txtExdudeFrontPages->setEnabled(matProtectRange->isEnabled() && RadioMatrix::selectedTag(matProtectRange) != 0);
}

void BookSecurityDelegate::refreshUserInfo()
{
    lblUserInfo->setText(loadAppString(QStringLiteral("BookSecurityD-Users:"), QStringLiteral("Users:"))
                         + QString::number(m_bookSecurity->usersList().size()));
}

void BookSecurityDelegate::onFrontPagesEdited()
{
    const QString text = txtExdudeFrontPages->text();
    if (text.isEmpty())
        return;
    const QString shown = leadingNumberText(text);
    if (shown != text)
        txtExdudeFrontPages->setText(shown);
}

void BookSecurityDelegate::onGenerateSinglePassword()
{
    m_passwordGenerator->startGenerate();
    txtSinglePassword->setText(m_passwordGenerator->result());
}

void BookSecurityDelegate::onOpenPGSettings()
{
    // The sheet changes the dialog's generator itself, and only on OK.
    _pgSettings = std::make_unique<PGSettings>();
    _pgSettings->setPasswordGenerator(m_passwordGenerator.get());
    _pgSettings->beginSheet(window());
}

void BookSecurityDelegate::onEditUserList()
{
    performOnMainThread([this] { onOpenUsersListWindow(); }, this);
}

void BookSecurityDelegate::onOpenUsersListWindow()
{
    _userListCtrl = std::make_unique<UsersListSecurity>();
    _userListCtrl->setBookSecurity(m_bookSecurity);
    _userListCtrl->center();
    _userListCtrl->runModal();
    if (m_bookSecurity->usersList().isEmpty()) {
        // Nobody could open a book protected by an empty list.
        RadioMatrix::selectCellWithTag(matSecurityType, BookSecurity::NoSecurity);
        if (m_bookSecurity->securityType() == BookSecurity::UserList)
            m_bookSecurity->setSecurityType(BookSecurity::NoSecurity);
        checkObjectStatus();
    }
    refreshUserInfo();
}

void BookSecurityDelegate::writeControls()
{
    m_bookSecurity->setSecurityType(selectedSecurityType());
    m_bookSecurity->setPassword(txtSinglePassword->text());
    m_bookSecurity->setPageProtectType(RadioMatrix::selectedTag(matProtectRange));
    m_bookSecurity->setExceptPages(txtExdudeFrontPages->text());
}

void BookSecurityDelegate::onSaveAsDefault()
{
    writeControls();
    m_bookSecurity->saveSecuritySettings();
}

void BookSecurityDelegate::onDefault()
{
    m_bookSecurity->loadSecuritySettings();
    showValues();
    checkObjectStatus();
    refreshUserInfo();
}

void BookSecurityDelegate::onCancel()
{
    closeWindowWithCode(0);
}

void BookSecurityDelegate::onOK()
{
    const int type = selectedSecurityType();
    if (type == BookSecurity::SinglePassword && txtSinglePassword->text().isEmpty()) {
        LogAlert::alertMessage(
            loadAppString(QStringLiteral("BookSecurityD-Invalid password !"), QStringLiteral("Invalid password !")),
            loadAppString(QStringLiteral("BookSecurityD-Character password should be at least 1 byte."),
                          QStringLiteral("Character password should be at least 1 byte.")));
        txtSinglePassword->setFocus();
        return;
    }
    if (type == BookSecurity::UserList && m_bookSecurity->usersList().isEmpty()) {
        LogAlert::alertMessage(
            loadAppString(QStringLiteral("BookSecurityD-The users list is empty!"), QStringLiteral("The users list is empty!")),
            loadAppString(QStringLiteral("BookSecurityD-Add at least one user, or choose another protection."),
                          QStringLiteral("Add at least one user, or choose another protection.")));
        btnEditUserInfo->setFocus();
        return;
    }
    onSaveAsDefault();
    BookSecurity *shared = BookSecurity::shareInstance();
    if (shared != m_bookSecurity) {
        shared->setSecurityType(m_bookSecurity->securityType());
        shared->setPageProtectType(m_bookSecurity->pageProtectType());
        if (shared->password() != m_bookSecurity->password())
            shared->setPassword(m_bookSecurity->password());
        if (shared->exceptPages() != m_bookSecurity->exceptPages())
            shared->setExceptPages(m_bookSecurity->exceptPages());
    }
    closeWindowWithCode(1);
}

void BookSecurityDelegate::windowWillClose()
{
    savePasswordGeneratorSettings();
}

void BookSecurityDelegate::loadPasswordGeneratorSettings()
{
    m_passwordGenerator = PasswordGeneratorSettings::load(PasswordGeneratorSettings::securityDialogFile());
}

void BookSecurityDelegate::savePasswordGeneratorSettings()
{
    if (m_passwordGenerator)
        PasswordGeneratorSettings::save(*m_passwordGenerator, PasswordGeneratorSettings::securityDialogFile());
}
