#include "publishing/ui/EnginersInfoDelegate.h"

#include "foundation/AppStrings.h"
#include "platform/ui/SpeechSynthesizer.h"
#include "publishing/NarrationInput.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

EnginersInfoDelegate::EnginersInfoDelegate(QObject *parent)
    : WindowController(QStringLiteral("EnginersInfoDelegate"), WindowLoader::Lookup::Localized, parent)
{
}

EnginersInfoDelegate::~EnginersInfoDelegate() = default;

void EnginersInfoDelegate::bindOutlets()
{
    outlet(m_voiceTableView, "voiceTableView");
    outlet(m_btnCancel, "btnCancel");
    outlet(m_btnSelect, "btnSelect");
    outlet(m_btnDefault, "btnDefault");
    outlet(m_btnDemo, "btnDemo");
    outlet(m_txtRate, "txtRate");
    outlet(m_txtVolume, "txtVolume");
}

void EnginersInfoDelegate::awakeFromNib()
{
    m_speechSynthesizer = new SpeechSynthesizer(this);
    connect(m_btnCancel, &QPushButton::clicked, this, &EnginersInfoDelegate::onCancel);
    connect(m_btnSelect, &QPushButton::clicked, this, &EnginersInfoDelegate::onSelected);
    connect(m_btnDefault, &QPushButton::clicked, this, &EnginersInfoDelegate::onDefault);
    connect(m_btnDemo, &QPushButton::clicked, this, &EnginersInfoDelegate::onPlayDemo);

    // Columns "name1", "age", "gender", "locale".
    m_voiceTableView->setColumnCount(4);
    m_voiceTableView->setHorizontalHeaderLabels(
        {loadAppString("EnginersInfoD-Name", "Name"), loadAppString("EnginersInfoD-Age", "Age"),
         loadAppString("EnginersInfoD-Gender", "Gender"), loadAppString("EnginersInfoD-Language", "Language")});
    m_voiceTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_voiceTableView->verticalHeader()->hide();
    m_voiceTableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    const QList<VoiceAttributes> voices = m_voiceList ? *m_voiceList : QList<VoiceAttributes>();
    m_voiceTableView->setRowCount(int(voices.size()));
    for (int row = 0; row < voices.size(); ++row) {
        const VoiceAttributes &v = voices.at(row);
        const QString cells[] = {v.name(), v.age(), v.gender(), v.locale()};
        for (int column = 0; column < 4; ++column)
            m_voiceTableView->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    connect(m_voiceTableView, &QTableWidget::itemSelectionChanged, this,
            &EnginersInfoDelegate::tableViewSelectionDidChange);
    connect(m_voiceTableView, &QTableWidget::cellDoubleClicked, this, &EnginersInfoDelegate::onSelected);
    connect(m_txtRate, &QLineEdit::textEdited, this, &EnginersInfoDelegate::rateEdited);
    connect(m_txtVolume, &QLineEdit::textEdited, this, &EnginersInfoDelegate::volumeEdited);
    m_txtRate->setText(NarrationInput::oneDecimal(m_speechRate));
    m_txtVolume->setText(NarrationInput::oneDecimal(m_volume));
    refresh();
}

bool EnginersInfoDelegate::hasVoice(qint64 index) const
{
    return m_voiceList && index >= 0 && index < m_voiceList->size();
}

void EnginersInfoDelegate::refresh()
{
    if (!hasVoice(m_selectedIndex))
        m_selectedIndex = 0;
    {
        const QSignalBlocker blocker(m_voiceTableView);
        m_voiceTableView->clearSelection();
        if (hasVoice(m_selectedIndex))
            m_voiceTableView->selectRow(int(m_selectedIndex));
    }
    if (hasVoice(m_selectedIndex))
        m_voiceTableView->scrollToItem(m_voiceTableView->item(int(m_selectedIndex), 0));
    m_btnSelect->setEnabled(true);
}

// The fields, and the values Select and the demo use, become the selected voice's.
void EnginersInfoDelegate::showVoiceValues()
{
    if (!hasVoice(m_selectedIndex))
        return;
    const VoiceAttributes &voice = m_voiceList->at(m_selectedIndex);
    m_speechRate = voice.rate();
    m_volume = voice.volume();
    m_txtRate->setText(NarrationInput::oneDecimal(m_speechRate));
    m_txtVolume->setText(NarrationInput::oneDecimal(m_volume));
}

void EnginersInfoDelegate::tableViewSelectionDidChange()
{
    const QList<QTableWidgetSelectionRange> ranges = m_voiceTableView->selectedRanges();
    const int row = ranges.isEmpty() ? -1 : ranges.first().topRow();
    if (row < 0 || row == m_selectedIndex)
        return;
    // The fields' values were written into the old voice as they were typed.
    m_selectedIndex = row;
    showVoiceValues();
}

void EnginersInfoDelegate::rateEdited(const QString &text)
{
    const QString kept = NarrationInput::checkFloatInput(text);
    if (kept != text)
        m_txtRate->setText(kept);
    m_speechRate = kept.toDouble();
    if (hasVoice(m_selectedIndex))
        (*m_voiceList)[m_selectedIndex].setRate(m_speechRate);
}

void EnginersInfoDelegate::volumeEdited(const QString &text)
{
    QString kept = NarrationInput::checkFloatInput(text);
    bool clamped = false;
    const double value = NarrationInput::clampedVolume(kept, &clamped);
    if (clamped)
        kept = NarrationInput::oneDecimal(value);
    if (kept != text)
        m_txtVolume->setText(kept);
    m_volume = value;
    if (hasVoice(m_selectedIndex))
        (*m_voiceList)[m_selectedIndex].setVolume(m_volume);
}

void EnginersInfoDelegate::onDefault()
{
    if (!hasVoice(m_selectedIndex))
        return;
    (*m_voiceList)[m_selectedIndex].resetToDefaults();
    showVoiceValues();
}

void EnginersInfoDelegate::onPlayDemo()
{
    if (!hasVoice(m_selectedIndex))
        return;
    const VoiceAttributes &voice = m_voiceList->at(m_selectedIndex);
    const QString text = m_demoString.trimmed().isEmpty()
        ? loadAppString("EnginersInfoD-Hello, I will read this book to you.", "Hello, I will read this book to you.")
        : m_demoString;
    m_speechSynthesizer->startSpeaking(text, voice.identifier(), m_speechRate, m_volume);
}

void EnginersInfoDelegate::onSelected()
{
    if (hasVoice(m_selectedIndex)) {
        VoiceAttributes &voice = (*m_voiceList)[m_selectedIndex];
        voice.setRate(m_speechRate);
        voice.setVolume(m_volume);
    }
    closeWindowWithCode(1);
}

void EnginersInfoDelegate::onCancel()
{
    closeWindowWithCode(0);
}

void EnginersInfoDelegate::windowWillClose()
{
    if (m_speechSynthesizer)
        m_speechSynthesizer->stopSpeaking();
}
