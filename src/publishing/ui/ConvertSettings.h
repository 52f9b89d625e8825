#pragma once
// The output settings of one row of a batch list: the output window bound to an output
// record. It opens with the record's kind, folder, name, title and switches, its mobile
// settings file and the phone template loaded from it, and the mobile settings panel's
// colour, page turn and double-page slide; Advanced edits the rest of the record for the
// chosen kind (BatchAdvancedSetting). Save writes everything back into the record and
// ends with 1, Cancel leaves the record as it was and ends with 0.
//
// Publish (offered once the owner called setPublishEnabled) saves the same way and asks
// the owner to convert the row (publishRequested); the owner reports the run back with
// showRunProgress() and runDidFinish(). While it runs, Cancel asks the owner to stop it
// (cancelRequested) and the window cannot be closed. A written book ends the window with
// 1; a failure is shown and the window stays open.

#include "batch/ConvertParament.h"
#include "output/OutputKind.h"
#include "publishing/ui/OutputWindowDelegate.h"
#include "publishing/ui/BatchAdvancedSetting.h"

#include <QColor>
#include <QPointer>

class ConvertSettings : public OutputWindowDelegate
{
    Q_OBJECT
public:
    explicit ConvertSettings(const ConvertParament &parament, QObject *parent = nullptr);

    const ConvertParament &parament() const { return m_parament; }
    void setPublishEnabled(bool enabled) { m_publishEnabled = enabled; }

public slots:
    void onTypeChanged();
    void onCancel();
    void onSaveSettings();
    void onAdvanced();
    void onPublish();
    // The owner's run of the row: percent of the whole (-1: not known) and what it does.
    void showRunProgress(int percent, const QString &text);
    void runDidFinish(bool written, const QString &failure);

signals:
    void publishRequested();
    void cancelRequested();

protected:
    void awakeFromNib() override;
    void CheckOutputSetting() override;

private:
    OutputKind selectedKind() const;
    void controlTextDidChange();
    // The window's fields, the mobile settings and the panel's choices into m_parament.
    void storeSettings();
    void showMobileChoices();
    void setRunning(bool running);

    ConvertParament m_parament;
    // The record with the advanced settings confirmed since the window opened.
    ConvertParament m_draft;
    QPointer<BatchAdvancedSetting> m_advancedSetting;
    QPushButton *btnSave = nullptr;
    bool m_publishEnabled = false;
    // What the mobile settings panel showed when the window opened: a value the user
    // left alone stays unset in a record that had none.
    QColor m_shownColor;
    QString m_shownFlipStyle;
    QString m_shownDoubleSlide;
};
