#include "publishing/ui/PublishBookWindowDelegate.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "output/OutputOperation.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "platform/ui/Workspace.h"
#include "project/AppSettings.h"
#include "publishing/PublishSettings.h"
#include "publishing/ui/BatchAdvancedSetting.h"
#include "publishing/ui/DrawSingleLine.h"
#include "publishing/ui/PPDetailView.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

namespace {

// A path as typed, with a leading "~" standing for the home folder.
QString expandedPath(const QString &path)
{
    if (path == QLatin1String("~"))
        return QDir::homePath();
    if (path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

} // namespace

PublishBookWindowDelegate::PublishBookWindowDelegate(QObject *parent)
    : WindowController(QStringLiteral("PublishBookWindow"), WindowLoader::Lookup::Localized, parent),
      m_runServices(PublishRunServices::standard())
{
    m_run.setReplaceQuestion([this](const QString &path, bool companion) { return askToReplace(path, companion); });
    connect(&m_run, &PublishRun::progressed, this,
            [this](qint64 index, qint64 count, int type) { showProgress(index, count, type); });
    connect(&m_run, &PublishRun::finished, this, [this](const PublishRun::Result &result) {
        try {
            publishBookFinished(result);
        } catch (const std::exception &) {
            errorWhileConver();
        }
    });
    connect(&m_phonePages, &PhonePageRun::snapped, this, &PublishBookWindowDelegate::phonePagesSnapped);
}

PublishBookWindowDelegate::~PublishBookWindowDelegate()
{
    // The run stops its job and puts back what it moved aside; nothing of it reaches
    // the window any more.
    m_run.disconnect(this);
    m_phonePages.disconnect(this);
}

PPDetailView *PublishBookWindowDelegate::detailView(OutputKind kind) const
{
    return m_detailViews.view(kind);
}

QList<PPDetailView *> PublishBookWindowDelegate::detailViews() const
{
    return m_detailViews.views();
}

OutputKind PublishBookWindowDelegate::outputKind() const
{
    return OutputKind::fromStored(m_convertPara.iOutputType());
}

void PublishBookWindowDelegate::bindOutlets()
{
    outlet(btnOPHtml, "btnOPHtml");
    outlet(btnOPApp, "btnOPApp");
    outlet(btnOPExe, "btnOPExe");
    outlet(btnOPWordPress, "btnOPWordPress");
    outlet(btnOPJoomla, "btnOPJoomla");
    outlet(btnOPDrupal, "btnOPDrupal");
    outlet(txtOutputFolder, "txtOutputFolder");
    outlet(btnBrowse, "btnBrowse");
    outlet(btnOpen, "btnOpen");
    outlet(txtOutputName, "txtOutputName");
    outlet(ExFileName, "ExFileName");
    outlet(txtTitle, "txtTitle");
    outlet(mtxLoadType, "mtxLoadType");
    outlet(btnBasicHtml, "btnBasicHtml");
    outlet(btnCompressToZip, "btnCompressToZip");
    outlet(btnShot, "btnShot");
    outlet(btnAdvanced, "btnAdvanced");
    outlet(btnPublic, "btnPublic");
    outlet(btnCancel, "btnCancel");
    outlet(_infoView, "_infoView");
    outlet(lblInfo, "lblInfo");
    outlet(prgBar, "prgBar");
    outlet(_outputExtendView, "_outputExtendView");
    outlet(_pluginExtendView, "_pluginExtendView");
    outlet(boxDetail, "boxDetail");
    outlet(txtWidth, "txtWidth");
    outlet(comUnit, "comUnit");
    outlet(txtHeight, "txtHeight");
    outlet(comUnit1, "comUnit1");
    outlet(btnDefaultSize, "btnDefaultSize");
    outlet(_leftView, "_leftView");
    if (loadTypeCells().isEmpty())
        throw WindowLoadError("Window \"PublishBookWindow\": the load type matrix \"mtxLoadType\" has no cells");
}

void PublishBookWindowDelegate::awakeFromNib()
{
    window()->setMinimumSize(kMinimumWindowSize);
    if (prgBar->maximum() > 0)
        m_progressMaximum = prgBar->maximum();
    layoutInitial();
    actionInitial();
    prepareCoverShot();
}

// ---------------------------------------------------------------------------------
// Layout

void PublishBookWindowDelegate::layoutInitial()
{
    // 1. A fading divider along the left pane's right edge.
    m_separator = new DrawSingleLine(_leftView);
    m_separator->setPosition(1);
    _leftView->installEventFilter(this);
    placeSeparator();

    // 2. The plug-in options take the place of the output options; they take turns.
    QWidget *host = _outputExtendView->parentWidget();
    if (_pluginExtendView->parentWidget() != host) {
        _pluginExtendView->setParent(host);
        auto *box = host ? qobject_cast<QBoxLayout *>(host->layout()) : nullptr;
        const int at = box ? box->indexOf(_outputExtendView) : -1;
        if (at >= 0)
            box->insertWidget(at + 1, _pluginExtendView);
        else
            _pluginExtendView->setGeometry(_outputExtendView->geometry());
    }

    // 3. The kind buttons by kind number, in the order of the kinds offered.
    const QList<OutputKind> offered = OutputKind::offered();
    const QList<QAbstractButton *> buttons = kindButtons();
    Q_ASSERT(offered.size() == buttons.size());
    for (qsizetype i = 0; i < offered.size() && i < buttons.size(); ++i)
        m_outputTypeDict.insert(QString::number(offered.at(i).number()), buttons.at(i));

    // 4.-6. Plug-in settings and the three detail views.
    loadDictionaryFromFile();
    setupDetailViews();

    // 7. Kind. A kind without a button finds none: no button is chosen and
    // the kind becomes 0. A negative kind is no kind at all and opens as 0 too.
    const OutputKind kind = OutputKind::fromStored(m_convertPara.iOutputType());
    m_convertPara.setIOutputType(kind.number());
    if (kind != OutputKind::WebFolder)
        onChooseOutputType(m_outputTypeDict.value(QString::number(kind.number())));

    // 8. Load type.
    const int loadType = PublishSettings::clampLoadType(m_convertPara.loadType());
    m_convertPara.setLoadType(loadType);
    selectLoadType(loadType);

    // 9.-10. Folder, name and title.
    txtOutputFolder->setText(m_convertPara.strOutputFolder().isEmpty() ? AppSettings::defaultOutputFolder()
                                                                        : m_convertPara.strOutputFolder());
    txtOutputName->setText(m_convertPara.strOutputName().isEmpty() ? QStringLiteral("index")
                                                                    : m_convertPara.strOutputName());
    txtTitle->setText(m_convertPara.strTitle().isEmpty() ? QStringLiteral("Demo") : m_convertPara.strTitle());

    // 11. Switches and extension.
    btnBasicHtml->setChecked(m_convertPara.isConvertBasicHtml());
    btnCompressToZip->setChecked(m_convertPara.compressToZip());
    showExtension();

    // 12. Plug-in size.
    comUnit->setEditable(false);
    comUnit1->setEditable(false);
    PluginDetailViews::showUnit(comUnit, m_pluginSettings.text(QStringLiteral("unitW")));
    PluginDetailViews::showUnit(comUnit1, m_pluginSettings.text(QStringLiteral("unitH")));
    txtWidth->setText(m_pluginSettings.text(QStringLiteral("width")));
    txtHeight->setText(m_pluginSettings.text(QStringLiteral("height")));

    // 13.-14.
    _infoView->hide();
    checkDisplayForOutput();
}

void PublishBookWindowDelegate::setupDetailViews()
{
    m_detailViews.setup(boxDetail, m_pluginSettings);
    WordPressDetailView = m_detailViews.view(OutputKind::WordPress);
    JoomlaDetailView = m_detailViews.view(OutputKind::Joomla);
    DrupalDetailView = m_detailViews.view(OutputKind::Drupal);
}

void PublishBookWindowDelegate::actionInitial()
{
    connect(btnShot, &QPushButton::clicked, this, [this] { onChangeShot(); });
    for (QAbstractButton *button : kindButtons())
        connect(button, &QAbstractButton::clicked, this, [this, button] { onChooseOutputType(button); });
    connect(btnBrowse, &QPushButton::clicked, this, [this] { onSelectFolder(); });
    connect(btnOpen, &QPushButton::clicked, this, [this] { onOpenFolder(); });
    connect(btnAdvanced, &QPushButton::clicked, this, [this] { onAdvanced(); });
    connect(btnPublic, &QPushButton::clicked, this, [this] { onPublish(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { onCancel(); });
    connect(btnDefaultSize, &QPushButton::clicked, this, [this] { onDefualtSize(); });
    connect(comUnit, &QComboBox::activated, this, [this] { onChangedUnit(); });
    connect(comUnit1, &QComboBox::activated, this, [this] { onChangedUnitForHeight(); });
    for (QLineEdit *field : {txtWidth, txtHeight, JoomlaDetailView->txtID(), DrupalDetailView->txtID()})
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
    connect(btnCompressToZip, &QCheckBox::toggled, this, [this] { showExtension(); });
}

void PublishBookWindowDelegate::prepareCoverShot()
{
    if (m_isBookcaseMode) {
        btnBasicHtml->setEnabled(false);
        mtxLoadType->setEnabled(false);
        btnShot->setFlat(true);
        showShotImage(AppResources::resourcePath(QStringLiteral("images/opBook.png")));
        return;
    }
    btnShot->setFlat(false);
    if (m_shotFile.isEmpty() && m_flashPageSource && !m_flashPageSource->thumbPages().isEmpty()
        && m_flashPageSource->thumbPages().first())
        m_shotFile = m_flashPageSource->thumbPages().first()->pageFilePath();
    if (QFileInfo(m_shotFile).isFile())
        showShotImage(m_shotFile);
}

void PublishBookWindowDelegate::showShotImage(const QString &path)
{
    const QPixmap picture(path);
    if (picture.isNull()) {
        btnShot->setIcon(QIcon());
        return;
    }
    btnShot->setIcon(QIcon(picture.scaled(btnShot->iconSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PublishBookWindowDelegate::placeSeparator()
{
    if (m_separator)
        m_separator->setGeometry(_leftView->width() - 1, 0, 1, _leftView->height());
}

bool PublishBookWindowDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == _leftView && event->type() == QEvent::Resize)
        placeSeparator();
    return WindowController::eventFilter(watched, event);
}

QList<QAbstractButton *> PublishBookWindowDelegate::kindButtons() const
{
    return {btnOPHtml, btnOPApp, btnOPExe, btnOPWordPress, btnOPJoomla, btnOPDrupal};
}

QList<QAbstractButton *> PublishBookWindowDelegate::loadTypeCells() const
{
    return RadioMatrix::cells(mtxLoadType);
}

void PublishBookWindowDelegate::selectLoadType(int loadType)
{
    RadioMatrix::selectCellWithTag(mtxLoadType, loadType);
}

int PublishBookWindowDelegate::selectedLoadType() const
{
    return RadioMatrix::selectedTag(mtxLoadType);
}

// ---------------------------------------------------------------------------------
// Display

void PublishBookWindowDelegate::checkDisplayForOutput()
{
    const OutputKind kind = outputKind();
    const bool plugin = kind.usesPluginOptions();
    _pluginExtendView->setVisible(plugin);
    _outputExtendView->setVisible(!plugin);

    m_detailViews.show(kind, boxDetail);

    switch (kind.basicHtml()) {
    case OutputKind::BasicHtml::Disabled:
        btnBasicHtml->setEnabled(false);
        break;
    case OutputKind::BasicHtml::DisabledAndOff:
        btnBasicHtml->setEnabled(false);
        btnBasicHtml->setChecked(false);
        break;
    case OutputKind::BasicHtml::Enabled:
        // A bookcase has no basic pages of its own: the switch stays off limits.
        btnBasicHtml->setEnabled(!m_isBookcaseMode);
        break;
    }

    if (txtOutputFolder->text().isEmpty())
        txtOutputFolder->setText(AppSettings::defaultOutputFolder());
    showExtension();
    txtOutputName->setText(m_convertPara.strOutputName().isEmpty() ? QStringLiteral("Index")
                                                                    : m_convertPara.strOutputName());
    if (txtTitle->text().isEmpty())
        txtTitle->setText(QStringLiteral("Demo"));
}

void PublishBookWindowDelegate::showExtension()
{
    // The ZIP switch belongs to the output options: the plug-in kinds are archives anyway.
    ExFileName->setText(QLatin1Char('.') + outputKind().extension(btnCompressToZip->isChecked()));
}

void PublishBookWindowDelegate::onTypeChange()
{
    checkDisplayForOutput();
}

void PublishBookWindowDelegate::onChooseOutputType(QAbstractButton *sender)
{
    for (QAbstractButton *button : kindButtons())
        button->setChecked(button == sender);
    const QString code = m_outputTypeDict.key(sender);
    const int kind = sender && !code.isEmpty() ? code.toInt() : 0;
    m_convertPara.setIOutputType(kind);
    checkDisplayForOutput();
}

void PublishBookWindowDelegate::saveConvertPara()
{
    m_convertPara.setStrOutputFolder(txtOutputFolder->text());
    m_convertPara.setStrOutputName(txtOutputName->text());
    m_convertPara.setStrTitle(txtTitle->text());
    m_convertPara.setIsConvertBasicHtml(btnBasicHtml->isChecked());
    m_convertPara.setLoadType(selectedLoadType());
    m_convertPara.setCompressToZip(btnCompressToZip->isChecked());
}

void PublishBookWindowDelegate::setButtonsStatus(bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{
             mtxLoadType, btnBasicHtml, btnPublic, btnBrowse, btnOpen, txtWidth, txtHeight, comUnit, comUnit1,
             btnDefaultSize, btnCompressToZip})
        control->setEnabled(enabled);
    for (QAbstractButton *button : kindButtons())
        button->setEnabled(enabled);
    btnAdvanced->setEnabled(enabled);
    for (PPDetailView *view : detailViews())
        view->setEnabled(enabled);
    for (QLineEdit *field : {txtOutputFolder, txtOutputName, txtTitle})
        field->setReadOnly(!enabled);

    _infoView->setVisible(!enabled);
    if (enabled) {
        m_progressAnimating = false;
        setProgressIndeterminate(m_progressIndeterminate);
        checkDisplayForOutput();
    } else {
        m_progressAnimating = true;
        setProgressIndeterminate(m_progressIndeterminate);
    }
    if (m_isBookcaseMode) {
        btnBasicHtml->setEnabled(false);
        mtxLoadType->setEnabled(false);
    }
}

void PublishBookWindowDelegate::setProgressIndeterminate(bool indeterminate)
{
    m_progressIndeterminate = indeterminate;
    if (!prgBar)
        return;
    // Qt shows a moving bar for the range 0..0; a stopped indeterminate bar stands still.
    if (indeterminate && m_progressAnimating)
        prgBar->setRange(0, 0);
    else
        prgBar->setRange(0, m_progressMaximum);
}

// ---------------------------------------------------------------------------------
// Plug-in settings

void PublishBookWindowDelegate::loadDictionaryFromFile()
{
    m_pluginSettings.loadDictionaryFromFile();
}

void PublishBookWindowDelegate::saveSettingDictory()
{
    m_detailViews.storeInto(m_pluginSettings, txtOutputName->text(), {txtWidth, txtHeight, comUnit, comUnit1});
}

void PublishBookWindowDelegate::saveDictionaryToFile()
{
    saveSettingDictory();
    m_pluginSettings.advanceModuleId(outputKind());
    m_pluginSettings.saveAndRecordDigest();
}

void PublishBookWindowDelegate::saveSettings()
{
    m_pluginSettings.saveSettings();
}

QString PublishBookWindowDelegate::getJoomlaVersion() const
{
    return m_detailViews.joomlaVersion(m_pluginSettings);
}

QString PublishBookWindowDelegate::getJoomlaID() const
{
    return m_detailViews.joomlaID(m_pluginSettings);
}

QString PublishBookWindowDelegate::getDrupalVersion() const
{
    return m_detailViews.drupalVersion(m_pluginSettings);
}

QString PublishBookWindowDelegate::getDrupalID() const
{
    return m_detailViews.drupalID(m_pluginSettings);
}

// ---------------------------------------------------------------------------------
// Sizes and text filters

QSize PublishBookWindowDelegate::windowWillResize(const QSize &proposed)
{
    return proposed.expandedTo(kMinimumWindowSize);
}

QString PublishBookWindowDelegate::checkNumTextField(const QString &text)
{
    if (text.isEmpty())
        return text;
    const QChar last = text.back();
    return last >= QLatin1Char('0') && last <= QLatin1Char('9') ? text : text.chopped(1);
}

void PublishBookWindowDelegate::controlTextDidChange(QLineEdit *field)
{
    if (!field)
        return;
    const QString filtered = checkNumTextField(field->text());
    if (filtered != field->text())
        field->setText(filtered);
}

void PublishBookWindowDelegate::onDefualtSize()
{
    txtWidth->setText(QStringLiteral("100"));
    txtHeight->setText(QStringLiteral("100"));
    PluginDetailViews::showUnit(comUnit, QStringLiteral("%"));
    PluginDetailViews::showUnit(comUnit1, QStringLiteral("%"));
}

void PublishBookWindowDelegate::onChangedUnit()
{
    PluginDetailViews::showUnit(comUnit, comUnit->currentText());
}

void PublishBookWindowDelegate::onChangedUnitForHeight()
{
    PluginDetailViews::showUnit(comUnit1, comUnit1->currentText());
}

// ---------------------------------------------------------------------------------
// Cover shot and folders

void PublishBookWindowDelegate::onChangeShot()
{
    if (m_isBookcaseMode)
        return;
    if (!m_shotPanel) {
        m_shotPanel = new QvPanel(this);
        m_shotPanel->setOwer(this);
        m_shotPanel->setTypes({QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                               QStringLiteral("gif"), QStringLiteral("png")});
        m_shotPanel->setAllowsOtherFileTypes(false);
        m_shotPanel->setAllowsMultipleSelection(false);
        m_shotPanel->setCanChooseFiles(true);
        m_shotPanel->setCanChooseDirectories(false);
        m_shotPanel->setEndPanelSelector([this](QvPanel *panel) { openImageFileByPanel(panel->URL().toLocalFile()); });
    }
    const QString home = QDir::homePath();
    m_shotPanel->setDirectory(QFileInfo(home).isDir() ? home : userDocumentsFolder());
    m_shotPanel->runModel();
}

void PublishBookWindowDelegate::openImageFileByPanel(const QString &path)
{
    if (path.isEmpty())
        return;
    m_shotFile = path;
    showShotImage(path);
}

void PublishBookWindowDelegate::onSelectFolder()
{
    if (!m_folderPanel) {
        m_folderPanel = new QvPanel(this);
        m_folderPanel->setOwer(this);
        m_folderPanel->setPrompt(loadAppString("OutputWindowD-Choose folder", "Choose folder"));
        m_folderPanel->setCanChooseFiles(false);
        m_folderPanel->setCanChooseDirectories(true);
        m_folderPanel->setAllowsMultipleSelection(false);
        m_folderPanel->setEndPanelSelector([this](QvPanel *panel) { endSelectFolder(panel->URL().toLocalFile()); });
    }
    const QString folder = expandedPath(txtOutputFolder->text());
    m_folderPanel->setDirectory(QFileInfo(folder).isDir() ? folder : userDocumentsFolder());
    m_folderPanel->runModel();
}

void PublishBookWindowDelegate::endSelectFolder(const QString &path)
{
    if (!path.isEmpty())
        txtOutputFolder->setText(path);
}

void PublishBookWindowDelegate::onOpenFolder()
{
    Workspace::openFile(expandedPath(txtOutputFolder->text()));
}

// ---------------------------------------------------------------------------------
// Advanced sheet

void PublishBookWindowDelegate::onAdvanced()
{
    if (m_advancedSettings)
        return;
    m_convertPara.setStrTitle(txtTitle->text());
    BatchAdvancedSetting *sheet = BatchAdvancedSetting::forKind(m_convertPara, outputKind(), this);
    m_advancedSettings = sheet;
    sheet->beginSheet(window(), [this](int code) { AdvancedWindowDidEnd(code); });
}

void PublishBookWindowDelegate::AdvancedWindowDidEnd(int returnCode)
{
    BatchAdvancedSetting *sheet = m_advancedSettings;
    m_advancedSettings = nullptr;
    if (sheet)
        sheet->deleteLater();
    if (returnCode != 1)
        return;
    const QString earlierIcon = m_convertPara.strAppIconFile();
    if (sheet)
        m_convertPara = sheet->parament();
    txtTitle->setText(m_convertPara.strTitle());
    if (outputKind() == OutputKind::Application)
        m_convertPara.setStrAppIconFile(BatchAdvancedSetting::keptIcon(m_convertPara.strAppIconFile(), earlierIcon));
}

