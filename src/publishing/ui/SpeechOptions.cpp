#include "publishing/ui/SpeechOptions.h"

#include "publishing/NarrationInput.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

SpeechOptions::SpeechOptions(QObject *parent)
    : WindowController(QStringLiteral("SpeechOptions"), WindowLoader::Lookup::Localized, parent)
{
}

void SpeechOptions::bindOutlets()
{
    outlet(m_btnAuto, "btnAuto");
    outlet(m_btnManual, "btnManual");
    outlet(m_txtDelayTime, "txtDelayTime");
    outlet(m_txtMuteTime, "txtMuteTime");
    outlet(m_btnOK, "btnOK");
    outlet(m_btnCancel, "btnCancel");
}

void SpeechOptions::awakeFromNib()
{
    m_btnAuto->setAutoExclusive(false);
    m_btnManual->setAutoExclusive(false);
    setSelectedByTag(0);
    connect(m_btnAuto, &QRadioButton::clicked, this, &SpeechOptions::onAutoClick);
    connect(m_btnManual, &QRadioButton::clicked, this, &SpeechOptions::onManualClick);
    connect(m_btnOK, &QPushButton::clicked, this, &SpeechOptions::onOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &SpeechOptions::onCancel);
    connect(m_txtDelayTime, &QLineEdit::textEdited, this, [this](const QString &t) { filterTime(m_txtDelayTime, t); });
    connect(m_txtMuteTime, &QLineEdit::textEdited, this, [this](const QString &t) { filterTime(m_txtMuteTime, t); });
}

void SpeechOptions::loadDispViewInf()
{
    window();
    if (!m_speechOptions)
        return;
    setSelectedByTag(m_speechOptions->playMode() == AssistantSpeechItem::Automatic ? 0 : 1);
    m_txtDelayTime->setText(NarrationInput::secondsText(m_speechOptions->defaultPauseTimeWhenFinished()));
    m_txtMuteTime->setText(NarrationInput::secondsText(m_speechOptions->defaultPauseTimeWhenEmpty()));
}

int SpeechOptions::selectedTag() const
{
    return m_btnAuto->isChecked() ? 0 : 1;
}

void SpeechOptions::setSelectedByTag(int tag)
{
    m_btnAuto->setChecked(tag == 0);
    m_btnManual->setChecked(tag != 0);
    checkRadioChange();
}

void SpeechOptions::checkRadioChange()
{
    const bool automatic = m_btnAuto->isChecked();
    m_txtDelayTime->setEnabled(automatic);
    m_txtMuteTime->setEnabled(automatic);
}

void SpeechOptions::filterTime(QLineEdit *field, const QString &text)
{
    const QString kept = NarrationInput::checkStringFrom(text);
    if (kept != text)
        field->setText(kept);
}

void SpeechOptions::onAutoClick()
{
    setSelectedByTag(0);
}

void SpeechOptions::onManualClick()
{
    setSelectedByTag(1);
}

void SpeechOptions::onOK()
{
    if (m_speechOptions) {
        AssistantSpeechItem chosen;
        chosen.setPlayMode(m_btnManual->isChecked() ? AssistantSpeechItem::Manual : AssistantSpeechItem::Automatic);
        chosen.setDefaultPauseTimeWhenFinished(NarrationInput::millisecondsFromSeconds(m_txtDelayTime->text()));
        chosen.setDefaultPauseTimeWhenEmpty(NarrationInput::millisecondsFromSeconds(m_txtMuteTime->text()));
        *m_speechOptions = chosen;
        chosen.saveSettings();
    }
    closeWindowWithCode(1);
}

void SpeechOptions::onCancel()
{
    closeWindowWithCode(0);
}
