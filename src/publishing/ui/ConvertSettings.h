#pragma once
// The output settings of one row of a batch list: the output window bound to an output
// record. It opens with the record's kind, folder, name, title and switches; Advanced
// edits the rest of the record for the chosen kind (BatchAdvancedSetting). Save writes
// everything back into the record and ends with 1, Cancel leaves the record as it was
// and ends with 0.

#include "batch/ConvertParament.h"
#include "output/OutputKind.h"
#include "publishing/ui/OutputWindowDelegate.h"
#include "publishing/ui/BatchAdvancedSetting.h"

#include <QPointer>


class ConvertSettings : public OutputWindowDelegate
{
    Q_OBJECT
public:
    explicit ConvertSettings(const ConvertParament &parament, QObject *parent = nullptr);

    const ConvertParament &parament() const { return m_parament; }

public slots:
    void onTypeChanged();
    void onCancel();
    void onSaveSettings();
    void onAdvanced();

protected:
    void awakeFromNib() override;
    void CheckOutputSetting() override;

private:
    OutputKind selectedKind() const;
    void controlTextDidChange();

    ConvertParament m_parament;
    // The record with the advanced settings confirmed since the window opened.
    ConvertParament m_draft;
    QPointer<BatchAdvancedSetting> m_advancedSetting;
};
