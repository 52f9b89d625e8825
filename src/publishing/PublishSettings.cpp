#include "publishing/PublishSettings.h"

#include "batch/ConvertParament.h"
#include "project/AppSettings.h"

namespace PublishSettings {

ConvertParament recordFromAppSettings(const AppSettings &settings)
{
    ConvertParament p;
    p.setIOutputType(settings.outputType());
    p.setStrOutputFolder(settings.lastOutputFileFolder());
    p.setStrOutputName(settings.lastOutputFileName());
    p.setStrTitle(settings.lastOutputFileTitle());
    p.setStrKeywords(settings.lastOutputKeyWords());
    p.setStrDecription(settings.lastOutputDescription());
    p.setStrScripts(settings.lastOutputAddScript());
    p.setLoadType(settings.loadType());
    p.setCompressToZip(settings.compressToZip());
    p.setIsConvertBasicHtml(settings.convertBasicHtml());
    p.setStrExeIconFile(settings.strIcoFile());
    p.setStrAppIconFile(settings.appIconFile());
    p.setStrAppVersion(settings.appVersion());
    p.setStrAppIdentifier(settings.appIdentifier());
    p.setStrWindowSize(settings.strWindowSize());
    p.setStrExeSize(settings.strExeSize());
    p.setIAppWindowHide(settings.iAppWindowHide());
    return p;
}

void writeRecordToAppSettings(const ConvertParament &record, AppSettings &settings)
{
    settings.setOutputType(record.iOutputType());
    settings.setLastOutputFileFolder(record.strOutputFolder());
    settings.setLastOutputFileName(record.strOutputName());
    settings.setLastOutputFileTitle(record.strTitle());
    settings.setLastOutputKeyWords(record.strKeywords());
    settings.setLastOutputDescription(record.strDecription());
    settings.setLastOutputAddScript(record.strScripts());
    settings.setLoadType(record.loadType());
    settings.setCompressToZip(record.compressToZip());
    settings.setConvertBasicHtml(record.isConvertBasicHtml());
    settings.setStrIcoFile(record.strExeIconFile());
    settings.setAppIconFile(record.strAppIconFile());
    if (!record.strAppVersion().isEmpty())
        settings.setAppVersion(record.strAppVersion());
    if (!record.strAppIdentifier().isEmpty())
        settings.setAppIdentifier(record.strAppIdentifier());
    if (!record.strWindowSize().isEmpty())
        settings.setStrWindowSize(record.strWindowSize());
    if (!record.strExeSize().isEmpty())
        settings.setStrExeSize(record.strExeSize());
    if (record.iAppWindowHide() == 1 || record.iAppWindowHide() == 2)
        settings.setIAppWindowHide(record.iAppWindowHide());
}

int clampLoadType(int loadType)
{
    return qBound(0, loadType, 3);
}

} // namespace PublishSettings
