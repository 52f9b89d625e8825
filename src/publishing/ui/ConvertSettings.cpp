#include "publishing/ui/ConvertSettings.h"

#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "foundation/NumberText.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "publishing/MobileSettingsFile.h"
#include "publishing/ui/BatchAdvancedSetting.h"
#include "publishing/ui/MobileSettingView.h"
#include "templates/FlashTemplate.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

// The load type that makes no mobile version.
constexpr int kDesktopOnly = 2;

bool offersMobileVersion(OutputKind kind)
{
    return kind == OutputKind::WebFolder || kind.usesPluginOptions();
}

} // namespace

ConvertSettings::ConvertSettings(const ConvertParament &parament, QObject *parent)
    : OutputWindowDelegate(parent), m_parament(parament), m_draft(parament)
{
}

void ConvertSettings::onAdvanced()
{
    if (m_advancedSetting)
        return;
    const OutputKind kind = selectedKind();
    m_draft.setStrTitle(txtTitle->text());
    BatchAdvancedSetting *sheet = BatchAdvancedSetting::forKind(m_draft, kind, this);
    m_advancedSetting = sheet;
    sheet->beginSheet(window(), [this, sheet, kind](int code) {
        m_advancedSetting = nullptr;
        sheet->deleteLater();
        if (code != 1)
            return;
        // Kept until Save; Cancel drops it with the rest.
        const QString earlierIcon = m_draft.strAppIconFile();
        m_draft = sheet->parament();
        if (kind == OutputKind::Application)
            m_draft.setStrAppIconFile(BatchAdvancedSetting::keptIcon(m_draft.strAppIconFile(), earlierIcon));
        txtTitle->setText(m_draft.strTitle());
    });
}

OutputKind ConvertSettings::selectedKind() const
{
    return OutputKind::fromStored(RadioMatrix::selectedTag(mOutputType));
}

void ConvertSettings::awakeFromNib()
{
    OutputWindowDelegate::awakeFromNib();
    const std::optional<OutputKind> stored = OutputKind::fromNumber(m_parament.iOutputType());
    RadioMatrix::selectCellWithTag(mOutputType, stored && stored->hasButton() ? stored->number() : OutputKind::WebFolder);
    for (QAbstractButton *cell : RadioMatrix::cells(mOutputType)) {
        connect(cell, &QAbstractButton::toggled, this, [this](bool on) {
            if (on)
                onTypeChanged();
        });
    }
    txtOutputFolder->setText(m_parament.strOutputFolder());
    txtOutputName->setText(m_parament.strOutputName());
    txtTitle->setText(m_parament.strTitle());
    btnMakeMobileVersion->setChecked(m_parament.loadType() != kDesktopOnly);
    btnBasicHtml->setChecked(m_parament.isConvertBasicHtml());
    prgBar->hide();
    lblInfo->clear();
    // The mobile settings file and the phone template loaded from it, as the row keeps them.
    m_mbSettingFile = m_parament.strMobileSettingFile();
    m_mobileTemplate = MobileSettingsFile::templateOfRecord(m_parament);
    showMobileChoices();
    btnSave = requireOutlet<QPushButton>("btnSave");
    btnPublic->setVisible(m_publishEnabled);
    connect(btnAdvanced, &QPushButton::clicked, this, &ConvertSettings::onAdvanced);
    connect(btnSave, &QPushButton::clicked, this, &ConvertSettings::onSaveSettings);
    connect(btnPublic, &QPushButton::clicked, this, &ConvertSettings::onPublish);
    connect(btnCancel, &QPushButton::clicked, this, &ConvertSettings::onCancel);
    for (QLineEdit *field : {txtOutputFolder, txtOutputName, txtTitle})
        connect(field, &QLineEdit::textChanged, this, &ConvertSettings::controlTextDidChange);
    CheckOutputSetting();
}

void ConvertSettings::CheckOutputSetting()
{
    if (!txtOutputName)
        return;
    const OutputKind kind = selectedKind();
    ExFileName->setText(QLatin1Char('.') + kind.extension(m_parament.compressToZip()));
    const bool mobile = offersMobileVersion(kind);
    btnMakeMobileVersion->setEnabled(mobile);
    lblMakeMobileVersion->setEnabled(mobile);
    btnMobileTmplName->setEnabled(mobile && btnMakeMobileVersion->isChecked());
    btnShowMobileSetting->setEnabled(mobile && btnMakeMobileVersion->isChecked());
    _btnMobleSetting->setEnabled(mobile && btnMakeMobileVersion->isChecked());
    switch (kind.basicHtml()) {
    case OutputKind::BasicHtml::Enabled:
        btnBasicHtml->setEnabled(true);
        break;
    case OutputKind::BasicHtml::DisabledAndOff:
        btnBasicHtml->setChecked(false);
        [[fallthrough]];
    case OutputKind::BasicHtml::Disabled:
        btnBasicHtml->setEnabled(false);
        break;
    }
    const bool complete = !txtOutputFolder->text().trimmed().isEmpty() && !txtOutputName->text().trimmed().isEmpty();
    if (btnSave)
        btnSave->setEnabled(complete && !m_isStart);
    btnPublic->setEnabled(complete && !m_isStart);
}

void ConvertSettings::showMobileChoices()
{
    // What the row chose, else what its phone template says (the bundled one's defaults
    // when the row loaded none).
    std::shared_ptr<FlashTemplate> defaults = m_mobileTemplate ? m_mobileTemplate : MobileSettingsFile::newMobileTemplate();
    const auto templateValue = [&defaults](const char *key, const QString &fallback) {
        return defaults ? defaults->propertyValue(QString::fromLatin1(key), fallback) : fallback;
    };
    const QString color = !m_parament.strMobileColor().isEmpty() ? m_parament.strMobileColor()
                                                                 : templateValue("backgroundColor", QStringLiteral("0x1E1E1E"));
    const QString flipStyle = !m_parament.strMobileFlipStyle().isEmpty() ? m_parament.strMobileFlipStyle()
                                                                         : templateValue("flipStyle", QStringLiteral("Slide"));
    const QString doubleSlide = !m_parament.strMobileDoubleSlide().isEmpty()
        ? m_parament.strMobileDoubleSlide()
        : (NumberText::boolValue(templateValue("doublePageSlide", QStringLiteral("No"))) ? QStringLiteral("Yes")
                                                                                         : QStringLiteral("No"));
    MobileSettingView *panel = mobileSettingView();
    panel->setMainColor(colorFromHexRGB(color));
    panel->setMbFlipStyle(flipStyle);
    panel->setMbDoubleSlide(doubleSlide);
    panel->setMbSettingFile(m_mbSettingFile);
    panel->setNeedsDisplay(true);
    m_shownColor = panel->mainColor();
    m_shownFlipStyle = panel->mbFlipStyle();
    m_shownDoubleSlide = panel->mbDoubleSlide();
}

void ConvertSettings::onTypeChanged()
{
    CheckOutputSetting();
}

void ConvertSettings::controlTextDidChange()
{
    CheckOutputSetting();
}

void ConvertSettings::onCancel()
{
    if (m_isStart) {
        // The owner stops the run; its end comes back through runDidFinish().
        btnCancel->setEnabled(false);
        emit cancelRequested();
        return;
    }
    closeWindowWithCode(0);
}

void ConvertSettings::onSaveSettings()
{
    if (m_isStart)
        return;
    storeSettings();
    closeWindowWithCode(1);
}

void ConvertSettings::onPublish()
{
    if (!m_publishEnabled || m_isStart)
        return;
    storeSettings();
    setRunning(true);
    showRunProgress(-1, QString());
    emit publishRequested();
}

void ConvertSettings::setRunning(bool running)
{
    m_isStart = running;
    setWorkerRunning(running);
    for (QWidget *part : {static_cast<QWidget *>(boxType), static_cast<QWidget *>(boxPath),
                          static_cast<QWidget *>(boxOptions), static_cast<QWidget *>(btnAdvanced)})
        part->setEnabled(!running);
    btnCancel->setEnabled(true);
    prgBar->setVisible(running);
    if (!running)
        lblInfo->clear();
    CheckOutputSetting();
}

void ConvertSettings::showRunProgress(int percent, const QString &text)
{
    if (percent < 0) {
        prgBar->setRange(0, 0);
    } else {
        prgBar->setRange(0, 100);
        prgBar->setValue(qBound(0, percent, 100));
    }
    if (!text.isEmpty())
        lblInfo->setText(text);
}

void ConvertSettings::runDidFinish(bool written, const QString &failure)
{
    if (!m_isStart)
        return;
    setRunning(false);
    if (written) {
        closeWindowWithCode(1);
        return;
    }
    if (!failure.isEmpty())
        LogAlert::alertMessage(loadAppString("ConvertSettings-The book could not be made.", "The book could not be made."),
                               failure);
}

void ConvertSettings::storeSettings()
{
    const OutputKind kind = selectedKind();
    m_parament = m_draft;
    m_parament.setIOutputType(kind.number());
    m_parament.setStrOutputFolder(txtOutputFolder->text().trimmed());
    m_parament.setStrOutputName(txtOutputName->text().trimmed());
    m_parament.setStrTitle(txtTitle->text());
    m_parament.setIsConvertBasicHtml(btnBasicHtml->isEnabled() && btnBasicHtml->isChecked());
    if (!offersMobileVersion(kind) || !btnMakeMobileVersion->isChecked())
        m_parament.setLoadType(kDesktopOnly);
    else if (m_parament.loadType() == kDesktopOnly)
        m_parament.setLoadType(0);

    m_parament.setStrMobileSettingFile(m_mbSettingFile);
    MobileSettingsFile::keepTemplate(m_mobileTemplate.get(), m_parament);
    // The panel's choices: those the row had or the user changed.
    const MobileSettingView *panel = mobileSettingView();
    const QColor color = panel->mainColor();
    if (color.isValid() && (!m_parament.strMobileColor().isEmpty() || color != m_shownColor))
        m_parament.setStrMobileColor(colorToHexRGB(color));
    if (!m_parament.strMobileFlipStyle().isEmpty() || panel->mbFlipStyle() != m_shownFlipStyle)
        m_parament.setStrMobileFlipStyle(panel->mbFlipStyle());
    if (!m_parament.strMobileDoubleSlide().isEmpty() || panel->mbDoubleSlide() != m_shownDoubleSlide)
        m_parament.setStrMobileDoubleSlide(panel->mbDoubleSlide());
}
