#pragma once
// The advanced output settings sheet bound to one output settings record: it opens
// with the record's values and, when confirmed, writes them into its copy of the
// record, which the owner reads with parament() after the sheet ended with 1. The
// application settings are left alone.
//
//   BatchAdvancedSetting sheet(record);
//   sheet.setOutputType(1);                  // 0 web, 1 application, 3 executable, 5 sealed
//   sheet.setIconFileName(record.strAppIconFile());
//   sheet.beginSheet(owner, [&](int code) { if (code == 1) record = sheet.parament(); });

#include "batch/ConvertParament.h"
#include "output/OutputKind.h"
#include "publishing/ui/AdvancedSetting.h"

class BatchAdvancedSetting : public AdvancedSetting
{
    Q_OBJECT
public:
    explicit BatchAdvancedSetting(const ConvertParament &parament, QObject *parent = nullptr);
    // The sheet a window offering kind opens over parament: the application pane with
    // the record's icon for the desktop kinds, the web page's pane for the others (no
    // window of the program hands a sealed package's password to its run).
    static BatchAdvancedSetting *forKind(const ConvertParament &parament, OutputKind kind, QObject *parent);

    // The application icon a record keeps after the sheet chose icon: a copy in the
    // user's data (AppIconCopy), since a made icon lies in a temporary folder. When no
    // copy can be made, says so and answers earlier, the icon the record had.
    static QString keptIcon(const QString &icon, const QString &earlier);

    // Which options the sheet shows; set before the window is first asked for.
    void setOutputType(int outputType) { setOutputTypeBeforeLoad(outputType); }
    const ConvertParament &parament() const { return m_parament; }

protected:
    AdvancedSettingValues loadValues() override;
    void storeValues(const AdvancedSettingValues &values) override;

private:
    ConvertParament m_parament;
};
