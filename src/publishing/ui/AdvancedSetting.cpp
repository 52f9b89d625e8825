#include "publishing/ui/AdvancedSetting.h"

#include "foundation/AppStrings.h"
#include "output/OutputKind.h"
#include "output/packages/PackageTemplates.h"
#include "output/packages/WinIcon.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "project/AppSettings.h"
#include "publishing/AppIconWorkspace.h"
#include "publishing/ui/AppIconMakerDelegate.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

AdvancedSetting::AdvancedSetting(int outputType, QObject *parent)
    : WindowController(QStringLiteral("AdvancedSetting"), WindowLoader::Lookup::Localized, parent),
      m_outputType(outputType)
{
}

AdvancedSetting::~AdvancedSetting()
{
    if (m_iconView)
        m_iconView->setDelegate(nullptr);
    NotificationCenter::defaultCenter()->removeObserver(this);
}

QString AdvancedSetting::fmappPassword() const
{
    return txtPassword ? txtPassword->text() : QString();
}

QString AdvancedSetting::orginExeIco()
{
    WinIcon *icons = WinIcon::shareInance();
    if (!icons->loadExeFile(QDir::cleanPath(PackageTemplates::winExeStubPath())) || !icons->parseExeIcon())
        return QString();
    return AdvancedSettingRules::largestIconFile(icons->exeIconsInfo());
}

QString AdvancedSetting::orginAppICNS()
{
    return QDir::cleanPath(MAC_APP_ZIP_FOLDER() + QStringLiteral("/mac.app/Contents/Resources/flipbookicons.icns"));
}

QString AdvancedSetting::CheckInputNumber(const QString &text)
{
    return AdvancedSettingRules::checkInputNumber(text);
}

QSize AdvancedSetting::screenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1920, 1080);
}

AdvancedSettingValues AdvancedSetting::loadValues()
{
    return AdvancedSettingValues::fromAppSettings(*AppSettings::shareInstance(), m_outputType);
}

void AdvancedSetting::storeValues(const AdvancedSettingValues &values)
{
    AppSettings *settings = AppSettings::shareInstance();
    values.writeToAppSettings(*settings, m_outputType);
    settings->setIsAdvancedModify(1);
    settings->saveSettings();
}

void AdvancedSetting::bindOutlets()
{
    outlet(tabView, "tabView");
    outlet(tabAdvanced, "tabAdvanced");
    outlet(AdvancedView, "AdvancedView");
    outlet(htmlView, "htmlView");
    outlet(appView, "appView");
    outlet(fmappView, "fmappView");
    outlet(boxAppInfo, "boxAppInfo");
    outlet(boxAddScripts, "boxAddScripts");
    outlet(txtPageTitle, "txtPageTitle");
    outlet(txtPageWords, "txtPageWords");
    outlet(txtPageDescription, "txtPageDescription");
    outlet(txtScriptInput, "txtScriptInput");
    outlet(txtAppTitle, "txtAppTitle");
    outlet(txtAppVersion, "txtAppVersion");
    outlet(txtAppIdentifier, "txtAppIdentifier");
    outlet(lblTitle, "lblTitle");
    outlet(lblVersion, "lblVersion");
    outlet(lblIdentifier, "lblIdentifier");
    outlet(btnCloseMode, "btnCloseMode");
    outlet(WindowSizeItems, "WindowSizeItems");
    outlet(txtWindowWidth, "txtWindowWidth");
    outlet(txtWindowHeight, "txtWindowHeight");
    outlet(txtPassword, "txtPassword");
    outlet(btnOK1, "btnOK1");
    outlet(btnCancel1, "btnCancel1");
    outlet(btnOK2, "btnOK2");
    outlet(btnCancel2, "btnCancel2");
    QWidget *holder = nullptr;
    outlet(holder, "iconViewHolder");
    m_iconView = ImageEditView::fillingHolder(holder, QStringLiteral("iconView"));
}

void AdvancedSetting::awakeFromNib()
{
    m_iconView->setDelegate(this);
    m_values = loadValues();
    fillFields(m_values);
    showWindowSize(m_values.windowSize);

    for (QPushButton *ok : {btnOK1, btnOK2})
        connect(ok, &QPushButton::clicked, this, &AdvancedSetting::onOKClick);
    for (QPushButton *cancel : {btnCancel1, btnCancel2})
        connect(cancel, &QPushButton::clicked, this, &AdvancedSetting::onCancelClick);
    for (QAbstractButton *cell : RadioMatrix::cells(WindowSizeItems))
        connect(cell, &QAbstractButton::toggled, this, [this](bool on) {
            if (on)
                onWindowSizeItemsChange();
        });
    for (QLineEdit *field : {txtWindowWidth, txtWindowHeight})
        connect(field, &QLineEdit::textChanged, this, [this, field] { controlTextDidChange(field); });

    layoutForKind();
}

void AdvancedSetting::fillFields(const AdvancedSettingValues &values)
{
    txtPageTitle->setText(values.title);
    txtPageWords->setText(values.keywords);
    txtPageDescription->setText(values.description);
    // The script stays exactly as typed: no wrapping, no replacements.
    txtScriptInput->setPlainText(values.script);
    txtAppTitle->setText(values.title);
    txtAppVersion->setText(values.appVersion);
    // The identifier is always shown, so the user sees what the bundle gets.
    txtAppIdentifier->setText(values.appIdentifier);
    btnCloseMode->setChecked(values.hideOnClose);
    m_iconFileName = values.iconFile;
}

void AdvancedSetting::showWindowSize(const QString &value)
{
    const QSize screen = screenSize();
    txtWindowWidth->setText(QString::number(screen.width()));
    txtWindowHeight->setText(QString::number(screen.height()));
    const WindowSizeChoice choice = WindowSizeChoice::fromString(value);
    RadioMatrix::selectCellWithTag(WindowSizeItems, choice.tag);
    if (choice.hasSize) {
        txtWindowWidth->setText(QString::number(choice.width));
        txtWindowHeight->setText(QString::number(choice.height));
    }
    const bool editable = choice.tag == WindowSizeChoice::Custom && choice.hasSize;
    txtWindowWidth->setEnabled(editable);
    txtWindowHeight->setEnabled(editable);
}

void AdvancedSetting::layoutForKind()
{
    const auto label = [this](const QString &text) { tabView->setTabText(tabView->indexOf(tabAdvanced), text); };
    switch (m_outputType) {
    case OutputKind::Executable:
        appView->show();
        htmlView->hide();
        fmappView->hide();
        btnCloseMode->setEnabled(false);
        btnCloseMode->hide();
        for (QWidget *w : std::initializer_list<QWidget *>{lblVersion, txtAppVersion, lblIdentifier, txtAppIdentifier})
            w->hide();
        boxAppInfo->setTitle(loadAppString("AdvancedS-Exe Window Info", "Exe Window Info"));
        m_iconView->setToolTip(loadAppString("AdvancedS-support *.ico,*.bmp,*.jpg,*.jpeg,*.gif,*.png",
                                  "support *.ico,*.bmp,*.jpg,*.jpeg,*.gif,*.png"));
        label(loadAppString("AdvancedS-Exe Advanced Setting", "Exe Advanced Setting"));
        prepareIconWell();
        break;
    case OutputKind::Application: {
        appView->show();
        htmlView->hide();
        fmappView->hide();
        m_iconView->setToolTip(loadAppString("AdvancedS-support *.icns,the other picture type, use \"Icon Composer\" convert it first!",
                                  "support *.icns,the other picture type, use \"Icon Composer\" convert it first!"));
        label(loadAppString("AdvancedS-App Advanced Setting", "App Advanced Setting"));
        // A desktop application book opens maximised or at a custom size.
        for (QAbstractButton *cell : RadioMatrix::cells(WindowSizeItems)) {
            if (cell->property("tag").toInt() == WindowSizeChoice::FullScreen) {
                cell->setEnabled(false);
                cell->hide();
            }
        }
        if (RadioMatrix::selectedTag(WindowSizeItems) == WindowSizeChoice::FullScreen)
            RadioMatrix::selectCellWithTag(WindowSizeItems, WindowSizeChoice::Maximized);
        prepareIconWell();
        break;
    }
    case OutputKind::SealedPackage:
        fmappView->show();
        htmlView->show();
        appView->hide();
        label(loadAppString("AdvancedS-Offline book Advanced Setting", "Offline book Advanced Setting"));
        break;
    default:
        appView->hide();
        fmappView->hide();
        htmlView->show();
        label(loadAppString("AdvancedS-Html Advanced Setting", "Html Advanced Setting"));
        break;
    }
}

void AdvancedSetting::prepareIconWell()
{
    const bool app = m_outputType == OutputKind::Application;
    if (!m_iconFileName.isEmpty()) {
        showIcon(m_iconFileName);
    } else if (app) {
        if (m_appIconsFile.isEmpty())
            m_appIconsFile = orginAppICNS();
        showIcon(m_appIconsFile);
    } else {
        if (m_exeIcoFile.isEmpty())
            m_exeIcoFile = orginExeIco();
        showIcon(m_exeIcoFile);
    }
    const QStringList filters = app ? QStringList{QStringLiteral("ICNS")}
                                    : QStringList{QStringLiteral("ICO"), QStringLiteral("BMP"), QStringLiteral("JPG"),
                                                  QStringLiteral("JPEG"), QStringLiteral("GIF"), QStringLiteral("PNG")};
    m_dragFileImport = DragFileImport::coverWidget(window(), filters);
    m_dragFileImport->setObjectName(QStringLiteral("iconDropTarget"));
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_dragFileImport,
                                                     [this](const Notification &n) { ImportIconDragEnd(n); });
}

void AdvancedSetting::showIcon(const QString &path)
{
    m_iconView->setImage(AppIconWorkspace::largestPicture(path));
    m_iconView->setImageFile(path);
}

int AdvancedSetting::selectedSizeTag() const
{
    return RadioMatrix::selectedTag(WindowSizeItems, WindowSizeChoice::Maximized);
}

void AdvancedSetting::onOKClick()
{
    AdvancedSettingValues values = m_values;
    if (!AdvancedSettingValues::showsApplicationPane(m_outputType)) {
        values.title = txtPageTitle->text();
        values.keywords = txtPageWords->text();
        values.description = txtPageDescription->text();
        values.script = txtScriptInput->toPlainText();
    } else {
        values.title = txtAppTitle->text();
        const int tag = selectedSizeTag();
        const QSize typed(txtWindowWidth->text().toInt(), txtWindowHeight->text().toInt());
        if (tag == WindowSizeChoice::Custom) {
            const QSize screen = screenSize();
            if (!AdvancedSettingRules::fitsScreen(typed, screen)) {
                const QString text = loadAppString("AdvancedS-Your system window size is %i*%i.\nThe input window size isn't "
                                        "suitable for your system screen, Are you sure to continue?",
                                        "Your system window size is %i*%i.\nThe input window size isn't suitable for "
                                        "your system screen, Are you sure to continue?");
                QString filled = text;
                filled.replace(filled.indexOf(QLatin1String("%i")), 2, QString::number(screen.width()));
                filled.replace(filled.indexOf(QLatin1String("%i")), 2, QString::number(screen.height()));
                if (!LogAlert::askYesNo(loadAppString("AdvancedS-Confirm the size", "Confirm the size"), filled))
                    return;
            }
        }
        values.windowSize = WindowSizeChoice::valueFor(tag, typed);
        values.appVersion = txtAppVersion->text();
        values.appIdentifier = txtAppIdentifier->text();
        values.hideOnClose = btnCloseMode->isChecked();
        values.iconFile = m_iconFileName;
    }
    storeValues(values);
    closeWindowWithCode(1);
}

void AdvancedSetting::onCancelClick()
{
    closeWindowWithCode(0);
}

void AdvancedSetting::windowWillClose()
{
    m_isClose = true;
}

void AdvancedSetting::onWindowSizeItemsChange()
{
    const bool custom = selectedSizeTag() == WindowSizeChoice::Custom;
    txtWindowWidth->setEnabled(custom);
    txtWindowHeight->setEnabled(custom);
}

void AdvancedSetting::controlTextDidChange(QLineEdit *field)
{
    const QString filtered = CheckInputNumber(field->text());
    if (filtered != field->text())
        field->setText(filtered);
}

void AdvancedSetting::ImportIconDragEnd(const Notification &notification)
{
    if (notification.object != m_dragFileImport || !m_dragFileImport)
        return;
    const QStringList paths = m_dragFileImport->dragResult();
    performOnMainThread([this, paths] { innerImportIconDragEnd(paths); }, this);
}

void AdvancedSetting::innerImportIconDragEnd(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    m_iconFileName = paths.first();
    showIcon(m_iconFileName);
}

void AdvancedSetting::ImageEditViewBrowseImage(ImageEditView *)
{
    if (m_outputType == OutputKind::Application) {
        if (!AdvancedSettingValues::usableIconFile(m_iconFileName, m_outputType).isEmpty())
            m_appIconsFile = m_iconFileName;
        if (m_appIconsFile.isEmpty())
            m_appIconsFile = orginAppICNS();
        performOnMainThread([this] { openICONMaker(); }, this);
    } else {
        performOnMainThread([this] { onImageViewClick(); }, this);
    }
}

void AdvancedSetting::openICONMaker()
{
    AppIconMakerDelegate maker;
    maker.setIconFile(m_appIconsFile);
    maker.window();
    maker.center();
    if (maker.runModal() != 1)
        return;
    m_appIconsFile = maker.iconFile();
    m_iconFileName = m_appIconsFile;
    showIcon(m_iconFileName);
}

void AdvancedSetting::onImageViewClick()
{
    QvPanelOptions options;
    options.allowsMultipleSelection = false;
    options.canChooseDirectories = false;
    options.allowsOtherFileTypes = false;
    if (m_outputType == OutputKind::Executable) {
        options.types = {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                         QStringLiteral("gif"), QStringLiteral("png"), QStringLiteral("ico")};
        options.title = loadAppString("AdvancedS-Choose image file", "Choose image file");
    } else if (m_outputType == OutputKind::Application) {
        options.types = {QStringLiteral("icns")};
        options.title = loadAppString("AdvancedS-Choose icon file(*.icns)", "Choose icon file(*.icns)");
    }
    QvPanel::runForPath(this, options, [this](const QString &path) {
        m_iconFileName = path;
        showIcon(path);
    });
}

void AdvancedSetting::ImageEditViewWillRemoveImage(ImageEditView *)
{
    if (m_outputType == OutputKind::Application) {
        if (m_appIconsFile.isEmpty())
            m_appIconsFile = orginAppICNS();
        m_iconFileName = m_appIconsFile;
        showIcon(m_iconFileName);
    } else if (m_outputType == OutputKind::Executable) {
        if (m_exeIcoFile.isEmpty())
            m_exeIcoFile = orginExeIco();
        m_iconFileName = m_exeIcoFile;
        showIcon(m_iconFileName);
    } else {
        m_iconView->setImage(QImage());
        m_iconView->setImageFile(QString());
    }
}
