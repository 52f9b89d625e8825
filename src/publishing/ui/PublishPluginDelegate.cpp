#include "publishing/ui/PublishPluginDelegate.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "online/UploadBookDelegate.h"
#include "output/packages/PublishPlugin.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "platform/ui/Workspace.h"
#include "project/AppSettings.h"
#include "publishing/PluginPackageNote.h"
#include "publishing/PublishSettings.h"
#include "publishing/PublishTargets.h"
#include "publishing/ui/PPDetailView.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>

namespace {

const QString kType = QStringLiteral("type");

// The systems by the tag of their cell.
const QList<OutputKind> &systems()
{
    static const QList<OutputKind> kinds{OutputKind::WordPress, OutputKind::Joomla, OutputKind::Drupal};
    return kinds;
}

// The logo of a system: the picture of the resources when there is one, else its name
// on a badge of its colour.
QPixmap logoOf(OutputKind kind)
{
    static const QHash<int, QString> files{{OutputKind::WordPress, QStringLiteral("WordPressLogo")},
                                           {OutputKind::Joomla, QStringLiteral("joomlaLogo")},
                                           {OutputKind::Drupal, QStringLiteral("DrupalLogo")}};
    const QString file = AppResources::resourcePath(QStringLiteral("images/%1.png").arg(files.value(kind.number())));
    QPixmap picture;
    if (QFileInfo(file).isFile() && picture.load(file))
        return picture;
    static const QHash<int, QColor> colours{{OutputKind::WordPress, QColor(0x21, 0x75, 0x9B)},
                                            {OutputKind::Joomla, QColor(0xF4, 0x43, 0x21)},
                                            {OutputKind::Drupal, QColor(0x06, 0x78, 0xBE)}};
    picture = QPixmap(160, 96);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colours.value(kind.number()));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(picture.rect().adjusted(2, 2, -2, -2), 14, 14);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(24);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(picture.rect(), Qt::AlignCenter, kind.contentSystemName());
    return picture;
}

} // namespace

PublishPluginDelegate::PublishPluginDelegate(QObject *parent)
    : WindowController(QStringLiteral("PublishPluginDelegate"), WindowLoader::Lookup::Localized, parent),
      m_convertPara(PublishSettings::recordFromAppSettings(*AppSettings::shareInstance()))
{
    m_convertPara.setIOutputType(OutputKind::WordPress);
    m_repeatTimer.setInterval(kWatchIntervalMs);
    connect(&m_repeatTimer, &QTimer::timeout, this, &PublishPluginDelegate::onRepeatTimer);
}

PublishPluginDelegate::~PublishPluginDelegate()
{
    m_repeatTimer.stop();
}

OutputKind PublishPluginDelegate::selectedKind() const
{
    const int tag = matTypeOptions ? RadioMatrix::selectedTag(matTypeOptions) : 0;
    return systems().value(tag, OutputKind::WordPress);
}

QSize PublishPluginDelegate::windowWillResize(const QSize &proposed)
{
    return proposed.expandedTo(kMinimumWindowSize);
}

QString PublishPluginDelegate::checkNumTextField(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return digits;
}

void PublishPluginDelegate::bindOutlets()
{
    outlet(boxDetail, "boxDetail");
    outlet(matTypeOptions, "matTypeOptions");
    outlet(txtOutputFolder, "txtOutputFolder");
    outlet(txtOutputName, "txtOutputName");
    outlet(txtTitle, "txtTitle");
    outlet(btnOpen, "btnOpen");
    outlet(btnBrowse, "btnBrowse");
    outlet(btnAdvanced, "btnAdvanced");
    outlet(btnPublic, "btnPublic");
    outlet(btnCancel, "btnCancel");
    outlet(prgIndicator, "prgIndicator");
    outlet(txtWidth, "txtWidth");
    outlet(txtHeight, "txtHeight");
    outlet(comUnit, "comUnit");
    outlet(comUnit1, "comUnit1");
    outlet(btnDefaultSize, "btnDefaultSize");
    outlet(imageView, "imageView");
}

void PublishPluginDelegate::awakeFromNib()
{
    window()->setMinimumSize(kMinimumWindowSize);

    m_pluginSettings.loadDictionaryFromFile();
    if (!m_pluginSettings.settingsDict().contains(kType))
        m_pluginSettings.setText(kType, QStringLiteral("0"));
    m_detailViews.setup(boxDetail, m_pluginSettings);

    AppSettings *settings = AppSettings::shareInstance();
    txtWidth->setText(m_pluginSettings.text(QStringLiteral("width")));
    txtHeight->setText(m_pluginSettings.text(QStringLiteral("height")));
    txtOutputFolder->setText(settings->lastOutputFileFolder());
    txtTitle->setText(settings->lastOutputFileTitle());
    txtOutputName->setText(m_pluginSettings.text(QStringLiteral("name")));
    for (QLineEdit *field : {txtWidth, txtHeight, m_detailViews.view(OutputKind::Joomla)->txtID(),
                             m_detailViews.view(OutputKind::Drupal)->txtID()})
        connect(field, &QLineEdit::textChanged, this, [this, field] { controlTextDidChange(field); });

    const int type = m_pluginSettings.text(kType).toInt();
    RadioMatrix::selectCellWithTag(matTypeOptions, type >= 0 && type < systems().size() ? type : 0);
    for (QAbstractButton *cell : RadioMatrix::cells(matTypeOptions))
        connect(cell, &QAbstractButton::toggled, this, [this](bool on) {
            if (on)
                onTypeChange();
        });
    connect(btnAdvanced, &QPushButton::clicked, this, &PublishPluginDelegate::onAdvanced);
    connect(btnCancel, &QPushButton::clicked, this, &PublishPluginDelegate::onCancel);
    connect(btnPublic, &QPushButton::clicked, this, &PublishPluginDelegate::onPublish);
    connect(btnBrowse, &QPushButton::clicked, this, &PublishPluginDelegate::onBrowse);
    connect(btnOpen, &QPushButton::clicked, this, &PublishPluginDelegate::onOpen);
    connect(btnDefaultSize, &QPushButton::clicked, this, &PublishPluginDelegate::onDefualtSize);
    for (QComboBox *unit : {comUnit, comUnit1})
        connect(unit, &QComboBox::activated, this, [unit] { PluginDetailViews::showUnit(unit, unit->currentText()); });
    PluginDetailViews::showUnit(comUnit, m_pluginSettings.text(QStringLiteral("unitW")));
    PluginDetailViews::showUnit(comUnit1, m_pluginSettings.settingsDict().contains(QStringLiteral("unitH"))
                           ? m_pluginSettings.text(QStringLiteral("unitH"))
                           : m_pluginSettings.text(QStringLiteral("unitW")));

    checkChangeDetailView();
    SetButtonStatus(true);
    m_repeatTimer.start();
}

void PublishPluginDelegate::checkChangeDetailView()
{
    const OutputKind kind = selectedKind();
    RadioMatrix::selectCellWithTag(matTypeOptions, int(systems().indexOf(kind)));
    m_detailViews.show(kind, boxDetail);
    imageView->setPixmap(logoOf(kind));
}

void PublishPluginDelegate::onTypeChange()
{
    checkChangeDetailView();
}

void PublishPluginDelegate::SetButtonStatus(bool enabled)
{
    // Cancel stays: it stops the work.
    for (QWidget *control : std::initializer_list<QWidget *>{btnPublic, btnAdvanced, btnBrowse, btnOpen,
                                                             matTypeOptions, txtOutputFolder, txtOutputName, txtTitle,
                                                             txtWidth, txtHeight})
        control->setEnabled(enabled);
    for (PPDetailView *view : m_detailViews.views())
        view->setEnabled(enabled);
    prgIndicator->setVisible(!enabled);
}

void PublishPluginDelegate::controlTextDidChange(QLineEdit *field)
{
    const QString digits = checkNumTextField(field->text());
    if (digits != field->text())
        field->setText(digits);
}

void PublishPluginDelegate::onDefualtSize()
{
    txtWidth->setText(QStringLiteral("100"));
    txtHeight->setText(QStringLiteral("100"));
    PluginDetailViews::showUnit(comUnit, QStringLiteral("%"));
    PluginDetailViews::showUnit(comUnit1, QStringLiteral("%"));
}

// ---------------------------------------------------------------------------------
// Settings

void PublishPluginDelegate::saveSettingDictory()
{
    m_detailViews.storeInto(m_pluginSettings, txtOutputName->text(), {txtWidth, txtHeight, comUnit, comUnit1});
    m_pluginSettings.setText(kType, QString::number(systems().indexOf(selectedKind())));
}

void PublishPluginDelegate::saveSettings()
{
    m_pluginSettings.saveSettings();
}

void PublishPluginDelegate::saveConvertPara()
{
    m_convertPara.setStrOutputFolder(txtOutputFolder->text());
    m_convertPara.setStrOutputName(txtOutputName->text().trimmed());
    m_convertPara.setStrTitle(txtTitle->text());
    AppSettings *settings = AppSettings::shareInstance();
    settings->setLastOutputFileFolder(m_convertPara.strOutputFolder());
    settings->setLastOutputFileName(m_convertPara.strOutputName());
    settings->setLastOutputFileTitle(m_convertPara.strTitle());
    settings->saveSettings();
}

// ---------------------------------------------------------------------------------
// Closing

bool PublishPluginDelegate::windowShouldClose()
{
    // Workers are writing the package: the dialog stays until they are done.
    if (isWorkerRunning())
        return false;
    m_repeatTimer.stop();
    saveSettingDictory();
    if (m_pluginSettings.isChangedSinceLoad())
        m_pluginSettings.saveAndRecordDigest();
    return true;
}

void PublishPluginDelegate::windowWillClose()
{
    m_repeatTimer.stop();
}

void PublishPluginDelegate::onCancel()
{
    if (!m_run.isPublishing()) {
        closeWindowWithCode(0);
        return;
    }
    // The package stops; the window closes once its worker has (onRepeatTimer).
    btnCancel->setEnabled(false);
    m_run.cancel();
}

// ---------------------------------------------------------------------------------
// Folder, advanced settings

void PublishPluginDelegate::onOpen()
{
    Workspace::openFile(PublishTargets::standardizedFolder(txtOutputFolder->text()));
}

void PublishPluginDelegate::onBrowse()
{
    QvPanelOptions options;
    options.prompt = loadAppString("OutputWindowD-Choose folder", "Choose folder");
    options.allowsMultipleSelection = true;
    options.canChooseFiles = false;
    options.canChooseDirectories = true;
    const QString folder = PublishTargets::standardizedFolder(txtOutputFolder->text());
    options.directory = QFileInfo(folder).isDir() ? folder : userDocumentsFolder();
    QvPanel::runForPath(this, options, [this](const QString &path) { txtOutputFolder->setText(path); });
}

void PublishPluginDelegate::onAdvanced()
{
    if (m_advancedSettings)
        return;
    m_convertPara.setStrTitle(txtTitle->text());
    m_advancedSettings = BatchAdvancedSetting::forKind(m_convertPara, OutputKind::WebFolder, this);
    m_advancedSettings->beginSheet(window(), [this](int code) { AdvancedWindowDidEnd(code); });
}

void PublishPluginDelegate::AdvancedWindowDidEnd(int returnCode)
{
    BatchAdvancedSetting *sheet = m_advancedSettings;
    m_advancedSettings = nullptr;
    if (!sheet)
        return;
    sheet->deleteLater();
    if (returnCode != 1)
        return;
    m_convertPara = sheet->parament();
    txtTitle->setText(m_convertPara.strTitle());
    AppSettings *settings = AppSettings::shareInstance();
    settings->setLastOutputFileTitle(m_convertPara.strTitle());
    settings->setLastOutputKeyWords(m_convertPara.strKeywords());
    settings->setLastOutputDescription(m_convertPara.strDecription());
    settings->setLastOutputAddScript(m_convertPara.strScripts());
    settings->saveSettings();
}

// ---------------------------------------------------------------------------------
// Publishing

void PublishPluginDelegate::convertBook()
{
    ConvertParament record = m_convertPara;
    if (txtTitle)
        record.setStrTitle(txtTitle->text());
    m_run.convertBook(record);
}

bool PublishPluginDelegate::checkForm(QString *folder, QString *target)
{
    const OutputKind kind = selectedKind();
    const QString name = txtOutputName->text().trimmed();
    const QString nameProblem = name.isEmpty()
        ? loadAppString("PublishPluginD-Please enter a name for the package.", "Please enter a name for the package.")
        : PublishTargets::nameProblem(name);
    if (!nameProblem.isEmpty()) {
        LogAlert::alertMessage(nameProblem, QString());
        txtOutputName->setFocus();
        txtOutputName->selectAll();
        return false;
    }
    QList<QLineEdit *> numbers{txtWidth, txtHeight};
    if (PPDetailView *view = m_detailViews.view(kind); view && view->txtID())
        numbers << view->txtID();
    for (QLineEdit *field : numbers) {
        if (field->text().isEmpty()) {
            LogAlert::alertMessage(loadAppString("PublishPluginD-The size and the module id need a number.",
                                                 "The size and the module id need a number."),
                                   QString());
            field->setFocus();
            return false;
        }
    }

    *folder = PublishTargets::standardizedFolder(txtOutputFolder->text());
    *target = PublishTargets(*folder, name, kind, false, 0).target();
    const QFileInfo existing(*target);
    if (existing.exists() || existing.isSymLink()) {
        const QString question =
            loadAppString("PublishPluginD-\"%@\" already exists. Do you want to replace it?",
                          "\"%@\" already exists. Do you want to replace it?")
                .replace(QLatin1String("%@"), existing.fileName());
        const QString detail = loadAppString("PublishPluginD-A file with the same name already exists in the folder "
                                             "\"%@\". Replacing it will overwrite its current contents.",
                                             "A file with the same name already exists in the folder \"%@\". "
                                             "Replacing it will overwrite its current contents.")
                                   .replace(QLatin1String("%@"), QFileInfo(*folder).fileName());
        if (!LogAlert::askYesNo(question, detail)) {
            txtOutputName->setFocus();
            txtOutputName->selectAll();
            return false;
        }
    }

    // Another package of this folder that a site would take for this one.
    const PPDetailView *view = m_detailViews.view(kind);
    if (!PluginDetailViews::confirmInstallName(*target, kind, view && view->txtID() ? view->txtID()->text() : QString())) {
        txtOutputName->setFocus();
        txtOutputName->selectAll();
        return false;
    }

    const PublishTargets::FolderState state = PublishTargets::prepareFolder(*folder);
    if (!state.ok()) {
        if (state.outcome == PublishTargets::FolderState::CannotCreate)
            LogAlert::alertMessage(loadAppString("PublishPluginD-Failed to creates a directory!", "Failed to creates a directory!"),
                                   loadAppString("PublishPluginD-Please check it again!", "Please check it again!"),
                                   *folder + QStringLiteral("\n") + state.reason);
        else
            LogAlert::alertMessage(loadAppString("PublishPluginD-The application can't save the plugin data to the selected folder!",
                                                 "The application can't save the plugin data to the selected folder!"),
                                   loadAppString("PublishPluginD-Please try the folder \"~/Documents/\".",
                                                 "Please try the folder \"~/Documents/\"."),
                                   *folder + QStringLiteral("\n") + state.reason);
        txtOutputFolder->setFocus();
        txtOutputFolder->selectAll();
        return false;
    }
    return true;
}

void PublishPluginDelegate::onPublish()
{
    if (m_run.isPublishing())
        return;
    QString folder, target;
    if (!checkForm(&folder, &target))
        return;

    // Every value of the package is taken here, on the main thread.
    const OutputKind kind = selectedKind();
    PluginPackageRun::Package package;
    package.kind = kind;
    package.width = txtWidth->text() + comUnit->currentText();
    package.height = txtHeight->text() + comUnit1->currentText();
    if (kind == OutputKind::Joomla) {
        package.version = m_detailViews.joomlaVersion(m_pluginSettings);
        package.id = m_detailViews.joomlaID(m_pluginSettings);
    } else if (kind == OutputKind::Drupal) {
        package.version = m_detailViews.drupalVersion(m_pluginSettings);
        package.id = m_detailViews.drupalID(m_pluginSettings);
    } else {
        package.version = QStringLiteral("1.0");
        package.id = QStringLiteral("1");
    }
    // The settings propose the next module id for the following package.
    saveSettingDictory();
    m_pluginSettings.advanceModuleId(kind);
    m_pluginSettings.saveAndRecordDigest();
    saveConvertPara();
    package.record = m_convertPara;
    package.record.setIOutputType(kind.number());
    package.record.setStrOutputFolder(folder);
    package.record.setStrOutputName(QFileInfo(target).fileName());

    m_lastTarget = target;
    m_lastKind = kind;
    SetButtonStatus(false);
    setWorkerRunning(true);
    m_run.publish(package);
}

void PublishPluginDelegate::onRepeatTimer()
{
    // An alert shown here runs its own event loop, in which this timer goes on firing.
    if (m_showingOutcome)
        return;
    m_showingOutcome = true;
    const auto done = qScopeGuard([this] { m_showingOutcome = false; });

    if (m_run.isPublishing()) {
        switch (m_run.takeOutcome()) {
        case PluginPackageRun::Outcome::Written:
            m_run.convertPlugin()->setConvertStatus(7);
            AlertMessagePluginOK();
            break;
        case PluginPackageRun::Outcome::Failed:
            m_run.convertPlugin()->setConvertStatus(8);
            AlertMessagePluginFailed();
            break;
        case PluginPackageRun::Outcome::BookMissing:
            setWorkerRunning(false);
            SetButtonStatus(true);
            AlertMessagePulishError();
            break;
        case PluginPackageRun::Outcome::Cancelled:
            setWorkerRunning(false);
            SetButtonStatus(true);
            closeWindowWithCode(0);
            break;
        case PluginPackageRun::Outcome::None:
            break;
        }
        return;
    }
    UploadBookDelegate &conversion = m_run.uploadBookDelegate();
    const int status = conversion.convertStatus();
    if (status == (UploadBookDelegate::kRunning | UploadBookDelegate::kFinished)) {
        conversion.setConvertStatus(7);
    } else if (status & UploadBookDelegate::kFailed) {
        conversion.setConvertStatus(8);
        AlertMessagePulishError();
    }
}

void PublishPluginDelegate::AlertMessagePluginOK()
{
    setWorkerRunning(false);
    // The package's size, and how to install one too large for the site's upload form.
    QString detail = loadAppString("PublishPluginD-Reveal now?", "Reveal now?");
    if (const QString note = PluginPackageNote::text(m_lastTarget, m_lastKind); !note.isEmpty())
        detail = note + QStringLiteral("\n\n") + detail;
    if (LogAlert::askYesNo(loadAppString("PublishPluginD-Publish plugin successfully!", "Publish plugin successfully!"),
                           detail))
        Workspace::selectFile(m_lastTarget);
    SetButtonStatus(true);
    closeWindowWithCode(1);
}

void PublishPluginDelegate::AlertMessagePluginFailed()
{
    setWorkerRunning(false);
    LogAlert::alertMessage(loadAppString("PublishPluginD-Publish plugin failed!", "Publish plugin failed!"), QString(),
                           m_run.failure());
    SetButtonStatus(true);
}

void PublishPluginDelegate::AlertMessagePulishError()
{
    if (LogAlert::askOKCancel(loadAppString("PublishPluginD-The data for plugin isn't ready!", "The data for plugin isn't ready!"),
                              loadAppString("PublishPluginD-Press OK to continue verify the data !",
                                            "Press OK to continue verify the data !")))
        convertBook();
}
