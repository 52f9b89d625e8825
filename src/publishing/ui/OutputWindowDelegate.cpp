#include "publishing/ui/OutputWindowDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/Workspace.h"
#include "publishing/MobileSettingsFile.h"
#include "publishing/ui/MobileSettingView.h"
#include "templates/FlashTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

OutputWindowDelegate::OutputWindowDelegate(QObject *parent)
    : WindowController(QStringLiteral("OutputWindow"), WindowLoader::Lookup::Localized, parent)
{
}

OutputWindowDelegate::~OutputWindowDelegate() = default;

void OutputWindowDelegate::bindOutlets()
{
    outlet(txtOutputFolder, "txtOutputFolder");
    outlet(txtOutputName, "txtOutputName");
    outlet(txtTitle, "txtTitle");
    outlet(mOutputType, "mOutputType");
    outlet(btnMakeMobileVersion, "btnMakeMobileVersion");
    outlet(lblMakeMobileVersion, "lblMakeMobileVersion");
    outlet(btnBasicHtml, "btnBasicHtml");
    outlet(btnMobileTmplName, "btnMobileTmplName");
    outlet(ExFileName, "ExFileName");
    outlet(prgBar, "prgBar");
    outlet(lblInfo, "lblInfo");
    outlet(boxType, "boxType");
    outlet(boxPath, "boxPath");
    outlet(boxOptions, "boxOptions");
    outlet(btnPublic, "btnPublic");
    outlet(btnCancel, "btnCancel");
    outlet(btnOpen, "btnOpen");
    outlet(btnBrowse, "btnBrowse");
    outlet(btnAdvanced, "btnAdvanced");
    outlet(btnShowMobileSetting, "btnShowMobileSetting");
    outlet(btnMobileSettingDone, "btnMobileSettingDone");
    outlet(_btnMobleSetting, "_btnMobleSetting");
    outlet(_mobileSettingCtrl, "_mobileSettingCtrl");
}

void OutputWindowDelegate::awakeFromNib()
{
    // The panel is built in code inside its place in the window.
    auto *host = requireOutlet<QWidget>("mobileSettingHost");
    _mbSettingView = new MobileSettingView(host);
    host->layout()->addWidget(_mbSettingView);
    _mobileSettingCtrl->hide();
    initMobileSettingView();
    connect(btnShowMobileSetting, &QPushButton::clicked, this, &OutputWindowDelegate::onShowMobileSetting);
    connect(btnMobileSettingDone, &QPushButton::clicked, this, &OutputWindowDelegate::onMobileSettingViewDismiss);
    connect(btnMakeMobileVersion, &QCheckBox::toggled, this, &OutputWindowDelegate::onMobileVersionChange);
    connect(btnBrowse, &QPushButton::clicked, this, &OutputWindowDelegate::onSelectFolder);
    connect(btnOpen, &QPushButton::clicked, this, &OutputWindowDelegate::onOpenFolder);
    btnMobileTmplName->clear();
    btnMobileTmplName->addItem(FlashTemplate::defaultMobileTemplateName());
}

void OutputWindowDelegate::initMobileSettingView()
{
    connect(_btnMobleSetting, &QPushButton::clicked, this, &OutputWindowDelegate::onOpenMBSetting, Qt::UniqueConnection);
    // The panel's own settings text is the window's mobile settings file too.
    connect(_mbSettingView, &MobileSettingView::settingFileChosen, this, &OutputWindowDelegate::endBrowseTextFile,
            Qt::UniqueConnection);
}

void OutputWindowDelegate::onOpenMBSetting()
{
    QvPanelOptions options;
    options.types = {QStringLiteral("h5thm"), QStringLiteral("txt")};
    QvPanel::runForPath(this, options, [this](const QString &path) { endBrowseTextFile(path); });
}

void OutputWindowDelegate::endBrowseTextFile(const QString &path)
{
    m_mbSettingFile = path;
    _mbSettingView->setMbSettingFile(path);
    QString error;
    if (!MobileSettingsFile::loadIntoTemplate(path, m_mobileTemplate, &error))
        LogAlert::alertMessage(loadAppString("OutputWindowD-The mobile settings cannot be loaded.", "The mobile settings cannot be loaded."),
                               error, path);
}

void OutputWindowDelegate::onShowMobileSetting()
{
    _mbSettingView->setNeedsDisplay(true);
    _mobileSettingCtrl->show();
    for (QLineEdit *field : {txtOutputFolder, txtOutputName, txtTitle})
        field->setEnabled(false);
}

void OutputWindowDelegate::onMobileSettingViewDismiss()
{
    _mobileSettingCtrl->hide();
    for (QLineEdit *field : {txtOutputFolder, txtOutputName, txtTitle})
        field->setEnabled(true);
}

void OutputWindowDelegate::onMobileVersionChange()
{
    CheckOutputSetting();
}

void OutputWindowDelegate::onSelectFolder()
{
    QvPanelOptions options;
    options.prompt = loadAppString("OutputWindowD-Choose folder", "Choose folder");
    options.canChooseFiles = false;
    options.canChooseDirectories = true;
    options.allowsMultipleSelection = true;
    const QString current = txtOutputFolder->text();
    options.directory = QFileInfo(current).isDir() ? current : QDir::cleanPath(userDocumentsFolder());
    QvPanel::runForPath(this, options, [this](const QString &path) { endSelectFolder(path); });
}

void OutputWindowDelegate::endSelectFolder(const QString &path)
{
    QMetaObject::invokeMethod(this, [this, path] { refreshOuputPath(path); }, Qt::QueuedConnection);
}

void OutputWindowDelegate::refreshOuputPath(const QString &path)
{
    txtOutputFolder->setText(path);
    CheckOutputSetting();
}

void OutputWindowDelegate::onOpenFolder()
{
    if (QFileInfo(txtOutputFolder->text()).isDir())
        Workspace::openFile(txtOutputFolder->text());
}
