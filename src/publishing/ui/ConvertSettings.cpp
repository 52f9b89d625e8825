#include "publishing/ui/ConvertSettings.h"

#include "foundation/AppStrings.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "publishing/ui/BatchAdvancedSetting.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
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
    btnPublic->setText(loadAppString("ConvertSettings-Save", "Save"));
    connect(btnAdvanced, &QPushButton::clicked, this, &ConvertSettings::onAdvanced);
    connect(btnPublic, &QPushButton::clicked, this, &ConvertSettings::onSaveSettings);
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
    btnPublic->setEnabled(!txtOutputFolder->text().trimmed().isEmpty() && !txtOutputName->text().trimmed().isEmpty());
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
    closeWindowWithCode(0);
}

void ConvertSettings::onSaveSettings()
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
    closeWindowWithCode(1);
}
