#include "publishing/ui/ManageRecordDelegate.h"

#include "foundation/AppStrings.h"
#include "output/narration/GenerateAssistant.h"
#include "output/narration/VoiceGenerate.h"
#include "platform/AudioFile.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/RoundView.h"
#include "platform/ui/SoundPlayer.h"
#include "platform/ui/SpeechSynthesizer.h"
#include "publishing/NarrationRecords.h"
#include "publishing/ui/EnginersInfoDelegate.h"
#include "publishing/ui/SpeechOptions.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QUrl>

namespace {

QString timeText(double seconds)
{
    return QString::number(std::max(0.0, seconds), 'f', 3);
}

// A button hidden from sight but keeping its place ("transparent").
void setTransparent(QAbstractButton *button, bool transparent)
{
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    button->setVisible(!transparent);
}

} // namespace

ManageRecordDelegate::ManageRecordDelegate(QObject *parent)
    : WindowController(QStringLiteral("ManageRecordDelegate"), WindowLoader::Lookup::Localized, parent)
{
    m_voiceList = VoiceAttributes::availableVoices();
    m_speechSynthesizer = new SpeechSynthesizer(this);
    m_musicBox = new SoundPlayer(this);
    m_generateTimer.setInterval(300);
    connect(&m_generateTimer, &QTimer::timeout, this, &ManageRecordDelegate::checkGenerateSpeechEnd);
    m_speakTimer.setInterval(300);
    connect(&m_speakTimer, &QTimer::timeout, this, [this] {
        if (!m_speechSynthesizer->isSpeaking())
            m_speakTimer.stop();
    });
    m_playTimer.setInterval(50);
    connect(&m_playTimer, &QTimer::timeout, this, &ManageRecordDelegate::checkPlayStatus);
}

ManageRecordDelegate::~ManageRecordDelegate()
{
    // A generation the window leaves behind goes on to its end in the background.
    m_generateTimer.stop();
}

void ManageRecordDelegate::setGenerateAssistant(std::shared_ptr<GenerateAssistant> assistant)
{
    m_generateAssistant = std::move(assistant);
    m_records = m_generateAssistant ? std::make_unique<NarrationRecords>(*m_generateAssistant) : nullptr;
}

void ManageRecordDelegate::bindOutlets()
{
    outlet(m_tableView, "tableView");
    outlet(m_audioText, "audioText");
    outlet(m_matType, "matType");
    outlet(m_rdTextToSpeech, "rdTextToSpeech");
    outlet(m_rdImportMp3, "rdImportMp3");
    outlet(m_btnSpeechOption, "btnSpeechOption");
    outlet(m_btnApply, "btnApply");
    outlet(m_detailView, "detailView");
    outlet(m_btnPlay, "btnPlay");
    outlet(m_btnAdd, "btnAdd");
    outlet(m_btnUp, "btnUp");
    outlet(m_btnDown, "btnDown");
    outlet(m_btnRemove, "btnRemove");
    outlet(m_btnClearText, "btnClearText");
    outlet(m_tts.view, "ttsOptionsView");
    outlet(m_tts.lblTip, "ttsLblTip");
    outlet(m_tts.comEngines, "comEngines");
    outlet(m_tts.btnAdvanced, "btnAdvanced");
    outlet(m_tts.btnGenerateVoice, "btnGenerateVoice");
    outlet(m_tts.play.playView, "ttsplayView");
    outlet(m_tts.play.btnPlay, "ttsbtnPlay");
    outlet(m_tts.play.prgBar, "ttsprgBar");
    outlet(m_tts.play.lblPlayTime, "ttslblPlayTime");
    outlet(m_mp3.view, "MP3OptionsView");
    outlet(m_mp3.lblTip, "mp3LblTip");
    outlet(m_mp3.txtFile, "txtFile");
    outlet(m_mp3.btnBrowse, "btnBrowse");
    outlet(m_mp3.play.playView, "mp3playView");
    outlet(m_mp3.play.btnPlay, "mp3btnPlay");
    outlet(m_mp3.play.prgBar, "mp3prgBar");
    outlet(m_mp3.play.lblPlayTime, "mp3lblPlayTime");
}

void ManageRecordDelegate::awakeFromNib()
{
    m_tableView->setColumnCount(1);
    m_tableView->horizontalHeader()->hide();
    m_tableView->horizontalHeader()->setStretchLastSection(true);
    m_tableView->verticalHeader()->hide();
    m_tableView->verticalHeader()->setDefaultSectionSize(32);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (PlayView *view : {&m_tts.play, &m_mp3.play}) {
        view->playView->hide();
        view->prgBar->setRange(0, 1000);
        view->prgBar->setValue(0);
    }
    m_rdTextToSpeech->setProperty("tag", 0);
    m_rdImportMp3->setProperty("tag", 1);
    setPlayMP3Flag(false, TextToSpeechPane);
    setPlayMP3Flag(false, Mp3Pane);

    connect(m_btnSpeechOption, &QPushButton::clicked, this, &ManageRecordDelegate::onSpeechOption);
    connect(m_rdTextToSpeech, &QRadioButton::clicked, this, &ManageRecordDelegate::onTypeChange);
    connect(m_rdImportMp3, &QRadioButton::clicked, this, &ManageRecordDelegate::onTypeChange);
    connect(m_tts.btnGenerateVoice, &QPushButton::clicked, this, &ManageRecordDelegate::onGenerateAudio);
    connect(m_tts.btnAdvanced, &QPushButton::clicked, this, &ManageRecordDelegate::onAdvanced);
    connect(m_tts.play.btnPlay, &QToolButton::clicked, this, [this] {
        m_musicBox->isPlaying() && m_playMode == TextToSpeechPane ? onStopMP3() : onPlayTTSMP3();
    });
    connect(m_mp3.play.btnPlay, &QToolButton::clicked, this, [this] {
        m_musicBox->isPlaying() && m_playMode == Mp3Pane ? onStopMP3() : onPlayImportMP3();
    });
    connect(m_mp3.btnBrowse, &QPushButton::clicked, this, &ManageRecordDelegate::onBrowse);
    connect(m_btnApply, &QPushButton::clicked, this, &ManageRecordDelegate::onApply);
    // A click or drag on a pane's position moves the playing sound there.
    for (const auto &[mode, slider] : {std::pair{int(TextToSpeechPane), m_tts.play.prgBar}, std::pair{int(Mp3Pane), m_mp3.play.prgBar}}) {
        connect(slider, &QSlider::actionTriggered, this, [this, mode = mode, slider = slider](int) {
            onChangePlayLenth(mode, slider->sliderPosition());
        });
    }
    connect(m_btnAdd, &QAbstractButton::clicked, this, &ManageRecordDelegate::onInsertPage);
    connect(m_btnUp, &QAbstractButton::clicked, this, &ManageRecordDelegate::onMoveUpPage);
    connect(m_btnDown, &QAbstractButton::clicked, this, &ManageRecordDelegate::onMoveDownPage);
    connect(m_btnRemove, &QAbstractButton::clicked, this, &ManageRecordDelegate::onRemovePage);
    connect(m_btnClearText, &QPushButton::clicked, this, &ManageRecordDelegate::onClearText);
    connect(m_btnPlay, &QPushButton::clicked, this, &ManageRecordDelegate::onSpeechText);
    connect(m_audioText, &QPlainTextEdit::textChanged, this, &ManageRecordDelegate::checkAudioTextViewStatus);
    connect(m_tableView, &QTableWidget::itemSelectionChanged, this, &ManageRecordDelegate::tableViewSelectionDidChange);
    connect(m_musicBox, &SoundPlayer::playingChanged, this, [this](bool playing) {
        if (!playing)
            checkPlayStatus();
    });

    reloadTable();
    selectTableRow(int(m_selectedIndex));
    // The voices are listed once the window shows.
    QTimer::singleShot(0, this, &ManageRecordDelegate::addEngines);
    refreshRightViewAtRow(int(m_selectedIndex));
    checkChangeDetailView();
    checkControlButtonStatus();
}

void ManageRecordDelegate::addEngines()
{
    if (!m_tts.comEngines)
        return;
    m_tts.comEngines->clear();
    for (const VoiceAttributes &voice : m_voiceList)
        m_tts.comEngines->addItem(voice.displayName());
    m_tts.comEngines->setCurrentIndex(int(VoiceAttributes::defaultVoiceIndex(m_voiceList, m_bookLanguage)));
    checkChangeDetailView();
}

// ---------------------------------------------------------------------------------
// Rows

QRadioButton *ManageRecordDelegate::typeButton(int tag) const
{
    return tag == 0 ? m_rdTextToSpeech : m_rdImportMp3;
}

int ManageRecordDelegate::selectedTag() const
{
    return m_rdImportMp3->isChecked() ? 1 : 0;
}

void ManageRecordDelegate::selectTag(int tag)
{
    m_rdTextToSpeech->setChecked(tag == 0);
    m_rdImportMp3->setChecked(tag != 0);
}

int ManageRecordDelegate::tableSelectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_tableView->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void ManageRecordDelegate::selectTableRow(int row)
{
    const QSignalBlocker blocker(m_tableView);
    m_tableView->clearSelection();
    if (m_records && m_records->contains(row)) {
        m_tableView->selectRow(row);
        m_tableView->scrollToItem(m_tableView->item(row, 0));
    }
}

void ManageRecordDelegate::reloadTable()
{
    const QSignalBlocker blocker(m_tableView);
    const int count = m_records ? m_records->count() : 0;
    m_tableView->setRowCount(count);
    const QIcon icon = m_tableView->style()->standardIcon(QStyle::SP_FileIcon);
    for (int row = 0; row < count; ++row) {
        auto *item = new QTableWidgetItem(icon, m_records->title(row));
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_tableView->setItem(row, 0, item);
    }
}

void ManageRecordDelegate::updateRowButtons(int row)
{
    if (!m_records)
        return;
    m_btnUp->setEnabled(m_records->canMoveUp(row));
    m_btnDown->setEnabled(m_records->canMoveDown(row));
    m_btnAdd->setEnabled(m_records->canAdd());
    m_btnRemove->setEnabled(m_records->canRemove());
}

void ManageRecordDelegate::checkControlButtonStatus()
{
    const int row = tableSelectedRow();
    if (row >= 0)
        m_tableView->scrollToItem(m_tableView->item(row, 0));
    checkChangeDetailView();
    updateRowButtons(row >= 0 ? row : int(m_selectedIndex));
    if (m_records && m_records->count() <= 1) {
        m_btnUp->setEnabled(false);
        m_btnDown->setEnabled(false);
    }
}

void ManageRecordDelegate::tableViewSelectionDidChange()
{
    const int row = tableSelectedRow();
    if (row >= 0 && row != m_selectedIndex)
        QTimer::singleShot(0, this, [this, row] { checkTableSelectionChange(row); });
    if (row >= 0)
        updateRowButtons(row);
}

void ManageRecordDelegate::checkTableSelectionChange(int row)
{
    if (!isSpeechEnabled()) {
        reloadTable();
        selectTableRow(int(m_selectedIndex));
        updateRowButtons(int(m_selectedIndex));
        return;
    }
    saveCurrentInfo();
    refreshRightViewAtRow(row);
    m_selectedIndex = row;
    checkChangeDetailView();
}

// ---------------------------------------------------------------------------------
// The detail of a row

void ManageRecordDelegate::refreshRightViewAtRow(int row)
{
    if (!m_records || !m_records->contains(row))
        return;
    const AssistantResourceItem &item = m_generateAssistant->resourceList().at(row);
    {
        const QSignalBlocker blocker(m_audioText);
        m_audioText->setPlainText(m_records->savedText(row));
    }
    selectTag(item.type());
    m_mp3.txtFile->setText(item.importmp3File());
    if (item.type() == AssistantResourceItem::TextToSpeech)
        showPlayView(m_tts.play, item.mp3File());
    else
        showPlayView(m_mp3.play, item.importmp3File());
    checkAudioTextViewStatus();
}

void ManageRecordDelegate::showPlayView(PlayView &view, const QString &file)
{
    const double seconds = file.isEmpty() || !QFileInfo(file).isFile() ? -1.0 : AudioFile::duration(file);
    view.playView->setVisible(seconds >= 0);
    if (seconds >= 0) {
        view.lblPlayTime->setText(QStringLiteral("time:0.000/%1").arg(timeText(seconds)));
        view.prgBar->setValue(0);
    }
}

void ManageRecordDelegate::checkChangeDetailView()
{
    if (!m_records)
        return;
    if (selectedTag() == 1) {
        const int row = m_records->contains(int(m_selectedIndex)) ? int(m_selectedIndex) : -1;
        if (row >= 0)
            m_mp3.txtFile->setText(m_generateAssistant->resourceList().at(row).importmp3File());
        m_tts.view->hide();
        m_mp3.view->show();
        setTransparent(m_btnPlay, true);
        m_btnPlay->setEnabled(false);
        showPlayView(m_mp3.play, m_mp3.txtFile->text());
    } else {
        m_tts.view->show();
        m_mp3.view->hide();
        const bool voices = !m_voiceList.isEmpty();
        m_tts.comEngines->setEnabled(voices);
        if (!voices) {
            m_tts.comEngines->clear();
            m_tts.comEngines->addItem(loadAppString("ManageRecordD-Install voices first!", "Install voices first!"));
        }
        m_tts.btnAdvanced->setEnabled(voices);
        m_tts.btnGenerateVoice->setEnabled(voices);
        m_btnPlay->setEnabled(voices);
        setTransparent(m_btnPlay, !voices);
        int row = tableSelectedRow();
        if (row < 0)
            row = 0;
        if (m_records->contains(row))
            showPlayView(m_tts.play, m_generateAssistant->resourceList().at(row).mp3File());
        else
            m_tts.play.playView->hide();
    }
    checkAudioTextViewStatus();
}

void ManageRecordDelegate::checkAudioTextViewStatus()
{
    setTransparent(m_btnPlay, true);
    m_btnPlay->setEnabled(false);
    setTransparent(m_btnClearText, true);
    m_btnClearText->setEnabled(false);
    m_tts.btnGenerateVoice->setEnabled(false);
    if (m_audioText->toPlainText().isEmpty())
        return;
    setTransparent(m_btnClearText, false);
    m_btnClearText->setEnabled(true);
    if (selectedTag() == 0 && !m_voiceList.isEmpty()) {
        setTransparent(m_btnPlay, false);
        m_btnPlay->setEnabled(true);
        m_tts.btnGenerateVoice->setEnabled(true);
    }
}

void ManageRecordDelegate::onClearText()
{
    m_audioText->clear();
    checkAudioTextViewStatus();
}

// ---------------------------------------------------------------------------------
// Saving a row

void ManageRecordDelegate::saveCurrentInfo()
{
    if (!m_records)
        return;
    const int row = int(m_selectedIndex);
    if (!m_records->contains(row)) {
        m_selectedIndex = tableSelectedRow();
        return;
    }
    stopSounds();
    const QString text = m_audioText->toPlainText();
    if (m_records->savedText(row) != text) {
        const QString name = AssistantResourceItem::resourceNameForPage(row, m_generateAssistant->totalPage());
        if (LogAlert::askOKCancel(loadAppString("ManageRecordD-Audio information of Page %@ changed",
                                                "Audio information of Page %@ changed")
                                      .replace(QStringLiteral("%@"), name),
                                  loadAppString("ManageRecordD-Do you want to save the  changes?",
                                                "Do you want to save the  changes?")))
            saveInfoToFileFromResourceItem(row, text);
    }
    AssistantResourceItem &item = m_generateAssistant->resourceList()[row];
    if (item.type() != selectedTag())
        item.setType(selectedTag());
    const QString file = m_mp3.txtFile->text().trimmed();
    if (file != item.importmp3File()) {
        if (file.isEmpty())
            item.setImportmp3File(QString());
        else
            takeImportedFile(row, file);
    }
}

void ManageRecordDelegate::saveInfoToFileFromResourceItem(int row, const QString &text)
{
    QString error;
    if (!m_records->saveText(row, text, &error)) {
        LogAlert::alertMessage(loadAppString("ManageRecordD-Generate Audio failed!", "Generate Audio failed!"), error);
        return;
    }
    AssistantResourceItem &item = m_generateAssistant->resourceList()[row];
    item.setType(selectedTag());
    if (item.type() == AssistantResourceItem::TextToSpeech) {
        if (!text.isEmpty())
            startGeneration(row, text);
        return;
    }
    const QString file = m_mp3.txtFile->text().trimmed();
    if (QFileInfo(file).isFile()) {
        if (file != item.importmp3File())
            takeImportedFile(row, file);
    } else if (!LogAlert::askOKCancel(loadAppString("ManageRecordD-The import mp3 file isn't existed!",
                                                    "The import mp3 file isn't existed!"),
                                      loadAppString("ManageRecordD-Press OK to check it again.",
                                                    "Press OK to check it again."))) {
        item.setImportmp3File(QString());
    }
}

void ManageRecordDelegate::takeImportedFile(int row, const QString &path)
{
    QString error;
    if (!m_records->importSound(row, path, &error)) {
        LogAlert::alertMessage(loadAppString("ManageRecordD-The MP3 file cannot be used.", "The MP3 file cannot be used."),
                               error);
        m_mp3.txtFile->setText(m_generateAssistant->resourceList().at(row).importmp3File());
        return;
    }
    if (row == m_selectedIndex)
        m_mp3.txtFile->setText(m_generateAssistant->resourceList().at(row).importmp3File());
}

// ---------------------------------------------------------------------------------
// Generating an MP3

VoiceAttributes ManageRecordDelegate::currentVoice() const
{
    const int index = m_tts.comEngines ? m_tts.comEngines->currentIndex() : -1;
    if (index >= 0 && index < m_voiceList.size())
        return m_voiceList.at(index);
    return m_voiceList.value(0);
}

void ManageRecordDelegate::startGeneration(int row, const QString &text)
{
    if (!isSpeechEnabled())
        return;
    m_voiceGenerator = std::make_unique<VoiceGenerate>();
    if (!m_voiceList.isEmpty())
        m_voiceGenerator->setVoiceEnginerInfo(currentVoice());
    m_voiceGenerator->setStringToSpeech(text);
    m_voiceGenerator->setSaveToFile(m_generateAssistant->resourceList().at(row).mp3File());
    m_voiceGenerator->speakToFile();
    m_isSpeeching = true;
    m_generateTimer.start();
}

void ManageRecordDelegate::checkGenerateSpeechEnd()
{
    if (!m_voiceGenerator || m_voiceGenerator->isRunning())
        return;
    m_generateTimer.stop();
    m_isSpeeching = false;
    if (m_voiceGenerator->hasFailed()) {
        const QString text = m_voiceGenerator->stringToSpeech();
        const QString reason = m_voiceGenerator->errorString();
        QString comment = loadAppString("ManageRecordD-the text: \"%@\".", "the text: \"%@\".").replace(QStringLiteral("%@"), text);
        if (!reason.isEmpty())
            comment += QLatin1Char('\n') + reason;
        QTimer::singleShot(0, this, [comment] {
            LogAlert::alertMessage(loadAppString("ManageRecordD-Failed to generate audio file!",
                                                 "Failed to generate audio file!"),
                                   comment);
        });
        return;
    }
    if (m_voiceGenerator->isFinished())
        checkChangeDetailView();
}

bool ManageRecordDelegate::isSpeechEnabled()
{
    if (!m_isSpeeching)
        return true;
    if (!LogAlert::askOKCancel(loadAppString("ManageRecordD-The previous audio file is generating!",
                                             "The previous audio file is generating!"),
                               loadAppString("ManageRecordD-Press OK to stop it!", "Press OK to stop it!")))
        return false;
    m_isSpeeching = false;
    m_generateTimer.stop();
    // The generation stops on its own thread; the window does not wait for it (a new
    // one speaks once the speech engine is free, and the stopped one writes no file).
    if (m_voiceGenerator)
        m_voiceGenerator->stopSpeech();
    return true;
}

void ManageRecordDelegate::onGenerateAudio()
{
    const int row = int(m_selectedIndex);
    if (!isSpeechEnabled() || !m_records || !m_records->contains(row))
        return;
    m_tts.play.playView->hide();
    saveInfoToFileFromResourceItem(row, m_audioText->toPlainText());
    if (!QFileInfo::exists(m_generateAssistant->resourceList().at(row).lrcFile()))
        LogAlert::alertMessage(loadAppString("ManageRecordD-Generate Audio failed!", "Generate Audio failed!"), QString());
}

void ManageRecordDelegate::onSpeechText()
{
    if (m_speechSynthesizer->isSpeaking()) {
        m_speechSynthesizer->stopSpeaking();
        return;
    }
    if (m_voiceList.isEmpty())
        return;
    const VoiceAttributes voice = currentVoice();
    m_speechSynthesizer->startSpeaking(m_audioText->toPlainText(), voice.identifier(), voice.rate(), voice.volume());
    m_speakTimer.start();
}

// ---------------------------------------------------------------------------------
// Playback

void ManageRecordDelegate::onPlayTTSMP3()
{
    if (m_records && m_records->contains(int(m_selectedIndex)))
        playMP3File(m_generateAssistant->resourceList().at(m_selectedIndex).mp3File(), TextToSpeechPane);
}

void ManageRecordDelegate::onPlayImportMP3()
{
    if (m_records && m_records->contains(int(m_selectedIndex)))
        playMP3File(m_mp3.txtFile->text().trimmed(), Mp3Pane);
}

void ManageRecordDelegate::playMP3File(const QString &file, int mode)
{
    m_musicBox->stop();
    if (!m_musicBox->load(file))
        return;
    m_musicBox->setVolume(1.0);
    m_playMode = mode;
    m_musicBox->play();
    m_playTimer.start();
    setPlayMP3Flag(true, mode);
}

void ManageRecordDelegate::setPlayMP3Flag(bool playing, int mode)
{
    QToolButton *button = mode == Mp3Pane ? m_mp3.play.btnPlay : m_tts.play.btnPlay;
    button->setIcon(button->style()->standardIcon(playing ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
    button->setProperty("playing", playing);
}

void ManageRecordDelegate::checkPlayStatus()
{
    PlayView &view = m_playMode == Mp3Pane ? m_mp3.play : m_tts.play;
    const double duration = m_musicBox->duration();
    if (m_musicBox->isPlaying()) {
        const double now = m_musicBox->currentTime();
        view.lblPlayTime->setText(QStringLiteral("time:%1/%2").arg(timeText(now), timeText(duration)));
        if (!view.prgBar->isSliderDown())
            view.prgBar->setValue(duration > 0 ? int(1000.0 * now / duration) : 0);
        return;
    }
    setPlayMP3Flag(false, m_playMode);
    m_playTimer.stop();
}

void ManageRecordDelegate::onStopMP3()
{
    m_musicBox->stop();
    checkPlayStatus();
}

void ManageRecordDelegate::onChangePlayLenth(int mode, int position)
{
    if (!m_musicBox->isPlaying() || mode != m_playMode)
        return;
    m_musicBox->setCurrentTime(position / 1000.0 * m_musicBox->duration());
}

void ManageRecordDelegate::stopSounds()
{
    m_speechSynthesizer->stopSpeaking();
    m_speakTimer.stop();
    m_musicBox->stop();
    checkPlayStatus();
}

// ---------------------------------------------------------------------------------
// Row commands

void ManageRecordDelegate::onInsertPage()
{
    if (!m_records)
        return;
    if (!m_records->canAdd()) {
        LogAlert::alertMessage(loadAppString("ManageRecordD-You don't need to insert more page!",
                                             "You don't need to insert more page!"),
                               QString());
        updateRowButtons(int(m_selectedIndex));
        return;
    }
    const int current = std::max(0, tableSelectedRow());
    m_selectedIndex = current;
    saveCurrentInfo();
    const int row = m_records->insertRow(current);
    if (row < 0)
        return;
    reloadTable();
    selectTableRow(row);
    m_selectedIndex = row;
    refreshRightViewAtRow(row);
    checkControlButtonStatus();
}

void ManageRecordDelegate::onMoveUpPage()
{
    moveRow(-1);
}

void ManageRecordDelegate::onMoveDownPage()
{
    moveRow(+1);
}

void ManageRecordDelegate::moveRow(int direction)
{
    const int row = tableSelectedRow();
    if (row < 0 || !m_records) {
        (direction < 0 ? m_btnUp : m_btnDown)->setEnabled(false);
        return;
    }
    const int moved = direction < 0 ? m_records->moveUp(row) : m_records->moveDown(row);
    if (moved < 0)
        return;
    m_selectedIndex = moved;
    reloadTable();
    selectTableRow(moved);
    checkControlButtonStatus();
}

void ManageRecordDelegate::onRemovePage()
{
    if (!m_records)
        return;
    if (!LogAlert::askOKCancel(loadAppString(QStringLiteral("Are you sure to delete the selected item(s)?"),
                                             QStringLiteral("Are you sure to delete the selected item(s)?")),
                               QString()))
        return;
    const int row = tableSelectedRow();
    const int next = m_records->removeRow(row);
    if (next < 0) {
        m_btnRemove->setEnabled(m_records->canRemove());
        return;
    }
    stopSounds();
    reloadTable();
    selectTableRow(next);
    m_selectedIndex = next;
    refreshRightViewAtRow(next);
    checkControlButtonStatus();
}

void ManageRecordDelegate::onTypeChange()
{
    stopSounds();
    int row = tableSelectedRow();
    if (row < 0)
        row = 0;
    if (m_records && m_records->contains(row))
        m_generateAssistant->resourceList()[row].setType(selectedTag());
    checkChangeDetailView();
}

void ManageRecordDelegate::onBrowse()
{
    auto *panel = new QvPanel(this);
    panel->setOwer(this);
    panel->setTitle(loadAppString("ManageRecordD-Import MP3 file", "Import MP3 file"));
    panel->setTypes({QStringLiteral("mp3")});
    panel->setCanChooseDirectories(false);
    const int row = int(m_selectedIndex);
    panel->setEndPanelSelector([this, row](QvPanel *p) {
        const QString path = p->URL().toLocalFile();
        p->deleteLater();
        if (path.isEmpty() || !m_records || !m_records->contains(row))
            return;
        m_mp3.txtFile->setText(path);
        takeImportedFile(row, path);
        checkChangeDetailView();
    });
    panel->runModel();
}

void ManageRecordDelegate::onAdvanced()
{
    EnginersInfoDelegate chooser;
    const int index = std::max(0, m_tts.comEngines->currentIndex());
    chooser.setSelectedIndex(index);
    chooser.setVoiceList(&m_voiceList);
    if (index < m_voiceList.size()) {
        chooser.setVolume(m_voiceList.at(index).volume());
        chooser.setSpeechRate(m_voiceList.at(index).rate());
    }
    chooser.setDemoString(m_audioText->toPlainText());
    chooser.center();
    if (chooser.runModal() == 1 && chooser.selectedIndex() < m_tts.comEngines->count())
        m_tts.comEngines->setCurrentIndex(int(chooser.selectedIndex()));
}

void ManageRecordDelegate::onSpeechOption()
{
    if (!m_generateAssistant)
        return;
    SpeechOptions options;
    options.setSpeechOptions(&m_generateAssistant->speechOptions());
    options.center();
    options.loadDispViewInf();
    options.runModal();
}

void ManageRecordDelegate::onApply()
{
    if (!isSpeechEnabled())
        return;
    saveCurrentInfo();
    closeWindowWithCode(1);
}

bool ManageRecordDelegate::windowShouldClose()
{
    return WindowController::windowShouldClose() && isSpeechEnabled();
}

void ManageRecordDelegate::windowWillClose()
{
    stopSounds();
}
