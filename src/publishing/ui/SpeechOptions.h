#pragma once
// The play options of the book's speaking assistant: automatic play with its two
// pauses, or play when the reader asks. The window edits a copy: OK puts it into the
// book's options (and stores it as the defaults of new assistants), Cancel and the
// close box leave the book's options as they were.

#include "output/narration/AssistantSpeechItem.h"
#include "platform/ui/WindowController.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

class SpeechOptions : public WindowController
{
    Q_OBJECT
public:
    explicit SpeechOptions(QObject *parent = nullptr);

    // The book's options (it must outlive the window).
    void setSpeechOptions(AssistantSpeechItem *options) { m_speechOptions = options; }
    AssistantSpeechItem *speechOptions() const { return m_speechOptions; }

    // Shows the options in the window.
    void loadDispViewInf();

    // 0 automatic, 1 manual.
    int selectedTag() const;
    void setSelectedByTag(int tag);

    QRadioButton *btnAuto() const { return m_btnAuto; }
    QRadioButton *btnManual() const { return m_btnManual; }
    QLineEdit *txtDelayTime() const { return m_txtDelayTime; }
    QLineEdit *txtMuteTime() const { return m_txtMuteTime; }
    QPushButton *btnOK() const { return m_btnOK; }
    QPushButton *btnCancel() const { return m_btnCancel; }

public slots:
    void onAutoClick();
    void onManualClick();
    void onOK();
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void checkRadioChange();
    void filterTime(QLineEdit *field, const QString &text);

    AssistantSpeechItem *m_speechOptions = nullptr;
    QRadioButton *m_btnAuto = nullptr;
    QRadioButton *m_btnManual = nullptr;
    QLineEdit *m_txtDelayTime = nullptr;
    QLineEdit *m_txtMuteTime = nullptr;
    QPushButton *m_btnOK = nullptr;
    QPushButton *m_btnCancel = nullptr;
};
