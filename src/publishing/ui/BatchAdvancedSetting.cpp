#include "publishing/ui/BatchAdvancedSetting.h"

#include "foundation/AppStrings.h"
#include "platform/ui/LogAlert.h"
#include "publishing/AppIconCopy.h"

BatchAdvancedSetting::BatchAdvancedSetting(const ConvertParament &parament, QObject *parent)
    : AdvancedSetting(0, parent), m_parament(parament)
{
}

AdvancedSettingValues BatchAdvancedSetting::loadValues()
{
    return AdvancedSettingValues::fromRecord(m_parament, outputType(), iconFileName());
}

void BatchAdvancedSetting::storeValues(const AdvancedSettingValues &values)
{
    values.writeToRecord(m_parament, outputType());
}

BatchAdvancedSetting *BatchAdvancedSetting::forKind(const ConvertParament &parament, OutputKind kind, QObject *parent)
{
    auto *sheet = new BatchAdvancedSetting(parament, parent);
    if (kind == OutputKind::Application) {
        sheet->setOutputType(kind.number());
        sheet->setIconFileName(parament.strAppIconFile());
    } else if (kind == OutputKind::Executable) {
        sheet->setOutputType(kind.number());
        sheet->setIconFileName(parament.strExeIconFile());
    }
    return sheet;
}

QString BatchAdvancedSetting::keptIcon(const QString &icon, const QString &earlier)
{
    QString error;
    const QString kept = AppIconCopy::keepCopy(icon, QString(), &error);
    if (!kept.isEmpty() || error.isEmpty())
        return kept;
    LogAlert::alertMessage(loadAppString("AdvancedS-The application icon cannot be kept.", "The application icon cannot be kept."),
                           loadAppString("AdvancedS-The book keeps its earlier icon.", "The book keeps its earlier icon."), error);
    return earlier;
}
