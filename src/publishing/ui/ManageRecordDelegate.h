#pragma once
// The narration recordings manager: one row per spread of the book, and for the
// chosen row its text, spoken by a voice into an MP3 file, or an MP3 file the user
// imports. It edits the book's assistant in place (its rows, their files); Apply ends
// it with 1, the close box with 0.
//
// One MP3 is generated at a time: changing rows, generating again, applying or closing
// while one is made asks to stop it first.

#include "output/narration/VoiceAttributes.h"
#include "platform/ui/WindowController.h"

#include <QList>
#include <QTimer>
#include <memory>

class GenerateAssistant;
class NarrationRecords;
class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableWidget;
class QToolButton;
class RoundView;
class SoundPlayer;
class SpeechSynthesizer;
class VoiceGenerate;

class ManageRecordDelegate : public WindowController
{
    Q_OBJECT
public:
    // The play view of a detail pane: play button, position and time.
    struct PlayView
    {
        QWidget *playView = nullptr;
        QToolButton *btnPlay = nullptr;
        QSlider *prgBar = nullptr;
        QLabel *lblPlayTime = nullptr;
    };
    struct TTSOptionsView
    {
        QWidget *view = nullptr;
        QLabel *lblTip = nullptr;
        QComboBox *comEngines = nullptr;
        QPushButton *btnAdvanced = nullptr;
        QPushButton *btnGenerateVoice = nullptr;
        PlayView play;
    };
    struct ImportMp3OptionsView
    {
        QWidget *view = nullptr;
        QLabel *lblTip = nullptr;
        QLineEdit *txtFile = nullptr;
        QPushButton *btnBrowse = nullptr;
        PlayView play;
    };
    enum Mode { TextToSpeechPane = 0, Mp3Pane = 1 };

    explicit ManageRecordDelegate(QObject *parent = nullptr);
    ~ManageRecordDelegate() override;

    void setGenerateAssistant(std::shared_ptr<GenerateAssistant> assistant);
    std::shared_ptr<GenerateAssistant> generateAssistant() const { return m_generateAssistant; }

    // The book's language (its template's "language" setting): the voice chosen at first
    // speaks it, else English. Set before the window loads.
    void setBookLanguage(const QString &language) { m_bookLanguage = language; }
    const QList<VoiceAttributes> &voiceList() const { return m_voiceList; }
    qint64 selectedIndex() const { return m_selectedIndex; }
    bool isSpeeching() const { return m_isSpeeching; }
    VoiceGenerate *voiceGenerator() const { return m_voiceGenerator.get(); }

    // Controls, for tests.
    QTableWidget *tableView() const { return m_tableView; }
    QPlainTextEdit *audioText() const { return m_audioText; }
    QRadioButton *typeButton(int tag) const;
    const TTSOptionsView &ttsOptionsView() const { return m_tts; }
    const ImportMp3OptionsView &mp3OptionsView() const { return m_mp3; }
    QPushButton *btnApply() const { return m_btnApply; }
    QPushButton *btnSpeechOption() const { return m_btnSpeechOption; }
    QAbstractButton *btnAdd() const { return m_btnAdd; }
    QAbstractButton *btnRemove() const { return m_btnRemove; }
    QAbstractButton *btnUp() const { return m_btnUp; }
    QAbstractButton *btnDown() const { return m_btnDown; }

public slots:
    void onSpeechOption();
    void onTypeChange();
    void onGenerateAudio();
    void onAdvanced();
    void onPlayTTSMP3();
    void onPlayImportMP3();
    void onStopMP3();
    void onBrowse();
    void onApply();
    void onInsertPage();
    void onMoveUpPage();
    void onMoveDownPage();
    void onRemovePage();
    void onClearText();
    void onSpeechText();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    bool windowShouldClose() override;
    void windowWillClose() override;

private:
    void addEngines();
    int selectedTag() const;
    void selectTag(int tag);
    int tableSelectedRow() const;
    void selectTableRow(int row);
    void reloadTable();
    void refreshRightViewAtRow(int row);
    void checkChangeDetailView();
    void showPlayView(PlayView &view, const QString &file);
    void checkAudioTextViewStatus();
    void checkControlButtonStatus();
    void updateRowButtons(int row);
    void tableViewSelectionDidChange();
    void checkTableSelectionChange(int row);
    void saveCurrentInfo();
    void saveInfoToFileFromResourceItem(int row, const QString &text);
    void takeImportedFile(int row, const QString &path);
    void startGeneration(int row, const QString &text);
    void checkGenerateSpeechEnd();
    bool isSpeechEnabled();
    VoiceAttributes currentVoice() const;
    void playMP3File(const QString &file, int mode);
    void setPlayMP3Flag(bool playing, int mode);
    void checkPlayStatus();
    void onChangePlayLenth(int mode, int position);
    // Moves the selected row one place up (-1) or down (+1).
    void moveRow(int direction);
    void stopSounds();

    std::shared_ptr<GenerateAssistant> m_generateAssistant;
    std::unique_ptr<NarrationRecords> m_records;
    QList<VoiceAttributes> m_voiceList;
    QString m_bookLanguage;
    qint64 m_selectedIndex = 0;
    std::unique_ptr<VoiceGenerate> m_voiceGenerator;
    bool m_isSpeeching = false;
    SpeechSynthesizer *m_speechSynthesizer = nullptr;
    SoundPlayer *m_musicBox = nullptr;
    int m_playMode = TextToSpeechPane;
    QTimer m_generateTimer;
    QTimer m_speakTimer;
    QTimer m_playTimer;

    TTSOptionsView m_tts;
    ImportMp3OptionsView m_mp3;
    QTableWidget *m_tableView = nullptr;
    QPlainTextEdit *m_audioText = nullptr;
    QGroupBox *m_matType = nullptr;
    QRadioButton *m_rdTextToSpeech = nullptr;
    QRadioButton *m_rdImportMp3 = nullptr;
    QPushButton *m_btnSpeechOption = nullptr;
    QPushButton *m_btnApply = nullptr;
    RoundView *m_detailView = nullptr;
    QPushButton *m_btnPlay = nullptr;
    QAbstractButton *m_btnAdd = nullptr;
    QAbstractButton *m_btnUp = nullptr;
    QAbstractButton *m_btnDown = nullptr;
    QAbstractButton *m_btnRemove = nullptr;
    QPushButton *m_btnClearText = nullptr;
};
