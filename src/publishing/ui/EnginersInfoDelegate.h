#pragma once
// The voice chooser: the installed voices in a table, with the rate and volume of the
// chosen one. It changes the voices of the list it is given in place; Select ends it
// with 1 (the chosen voice is selectedIndex()), Cancel and the close box with 0.
//
// The rate and volume fields always show the selected voice's own values: choosing
// another voice shows its values, and Select and the demo use what the fields show.

#include "output/narration/VoiceAttributes.h"
#include "platform/ui/WindowController.h"

#include <QList>

class QLineEdit;
class QPushButton;
class QTableWidget;
class SpeechSynthesizer;

class EnginersInfoDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit EnginersInfoDelegate(QObject *parent = nullptr);
    ~EnginersInfoDelegate() override;

    // The voices shown and changed (the caller's list; it must outlive the window).
    void setVoiceList(QList<VoiceAttributes> *voices) { m_voiceList = voices; }
    QList<VoiceAttributes> *voiceList() const { return m_voiceList; }
    qint64 selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(qint64 index) { m_selectedIndex = index; }
    double volume() const { return m_volume; }
    void setVolume(double volume) { m_volume = volume; }
    double speechRate() const { return m_speechRate; }
    void setSpeechRate(double rate) { m_speechRate = rate; }
    QString demoString() const { return m_demoString; }
    void setDemoString(const QString &text) { m_demoString = text; }

    QTableWidget *voiceTableView() const { return m_voiceTableView; }
    QLineEdit *txtRate() const { return m_txtRate; }
    QLineEdit *txtVolume() const { return m_txtVolume; }

public slots:
    void onCancel();
    void onSelected();
    void onDefault();
    void onPlayDemo();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    bool hasVoice(qint64 index) const;
    void refresh();
    void showVoiceValues();
    void tableViewSelectionDidChange();
    void rateEdited(const QString &text);
    void volumeEdited(const QString &text);

    QList<VoiceAttributes> *m_voiceList = nullptr;
    qint64 m_selectedIndex = 0;
    double m_volume = 0.8;
    double m_speechRate = 180.0;
    QString m_demoString;
    SpeechSynthesizer *m_speechSynthesizer = nullptr;

    QTableWidget *m_voiceTableView = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QPushButton *m_btnSelect = nullptr;
    QPushButton *m_btnDefault = nullptr;
    QPushButton *m_btnDemo = nullptr;
    QLineEdit *m_txtRate = nullptr;
    QLineEdit *m_txtVolume = nullptr;
};
