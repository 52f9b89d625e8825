#include "batch/ConvertParament.h"

namespace {

QString textEntry(const QVariantMap &map, const char *key, const QString &fallback)
{
    const QVariant v = map.value(QLatin1String(key));
    return v.typeId() == QMetaType::QString ? v.toString() : fallback;
}

int intEntry(const QVariantMap &map, const char *key, int fallback)
{
    const QVariant v = map.value(QLatin1String(key));
    bool ok = false;
    const int n = v.toInt(&ok);
    return v.isValid() && v.typeId() != QMetaType::QString && ok ? n : fallback;
}

bool boolEntry(const QVariantMap &map, const char *key, bool fallback)
{
    const QVariant v = map.value(QLatin1String(key));
    return v.typeId() == QMetaType::Bool ? v.toBool() : fallback;
}

} // namespace

QVariantMap ConvertParament::toDictionary() const
{
    return {
        {QStringLiteral("iOutputType"), m_iOutputType},
        {QStringLiteral("strOutputFolder"), m_strOutputFolder},
        {QStringLiteral("strOutputName"), m_strOutputName},
        {QStringLiteral("strTitle"), m_strTitle},
        {QStringLiteral("strKeywords"), m_strKeywords},
        {QStringLiteral("strDecription"), m_strDecription},
        {QStringLiteral("strScripts"), m_strScripts},
        {QStringLiteral("loadType"), m_loadType},
        {QStringLiteral("compressToZip"), m_compressToZip},
        {QStringLiteral("isConvertBasicHtml"), m_isConvertBasicHtml},
        {QStringLiteral("strExeIconFile"), m_strExeIconFile},
        {QStringLiteral("strAppIconFile"), m_strAppIconFile},
        {QStringLiteral("strAppVersion"), m_strAppVersion},
        {QStringLiteral("strAppIdentifier"), m_strAppIdentifier},
        {QStringLiteral("strWindowSize"), m_strWindowSize},
        {QStringLiteral("strExeSize"), m_strExeSize},
        {QStringLiteral("iAppWindowHide"), m_iAppWindowHide},
        {QStringLiteral("strMobileSettingFile"), m_strMobileSettingFile},
        {QStringLiteral("strMobileTemplateSettings"), m_strMobileTemplateSettings},
        {QStringLiteral("strMobileResourcePath"), m_strMobileResourcePath},
        {QStringLiteral("strMobileColor"), m_strMobileColor},
        {QStringLiteral("strMobileFlipStyle"), m_strMobileFlipStyle},
        {QStringLiteral("strMobileDoubleSlide"), m_strMobileDoubleSlide},
    };
}

ConvertParament ConvertParament::fromDictionary(const QVariantMap &d)
{
    ConvertParament p;
    p.m_iOutputType = intEntry(d, "iOutputType", p.m_iOutputType);
    p.m_strOutputFolder = textEntry(d, "strOutputFolder", p.m_strOutputFolder);
    p.m_strOutputName = textEntry(d, "strOutputName", p.m_strOutputName);
    p.m_strTitle = textEntry(d, "strTitle", p.m_strTitle);
    p.m_strKeywords = textEntry(d, "strKeywords", p.m_strKeywords);
    p.m_strDecription = textEntry(d, "strDecription", p.m_strDecription);
    p.m_strScripts = textEntry(d, "strScripts", p.m_strScripts);
    p.m_loadType = intEntry(d, "loadType", p.m_loadType);
    p.m_compressToZip = boolEntry(d, "compressToZip", p.m_compressToZip);
    p.m_isConvertBasicHtml = boolEntry(d, "isConvertBasicHtml", p.m_isConvertBasicHtml);
    p.m_strExeIconFile = textEntry(d, "strExeIconFile", p.m_strExeIconFile);
    p.m_strAppIconFile = textEntry(d, "strAppIconFile", p.m_strAppIconFile);
    p.m_strAppVersion = textEntry(d, "strAppVersion", p.m_strAppVersion);
    p.m_strAppIdentifier = textEntry(d, "strAppIdentifier", p.m_strAppIdentifier);
    p.m_strWindowSize = textEntry(d, "strWindowSize", p.m_strWindowSize);
    p.m_strExeSize = textEntry(d, "strExeSize", p.m_strExeSize);
    p.m_iAppWindowHide = intEntry(d, "iAppWindowHide", p.m_iAppWindowHide);
    p.m_strMobileSettingFile = textEntry(d, "strMobileSettingFile", p.m_strMobileSettingFile);
    p.m_strMobileTemplateSettings = textEntry(d, "strMobileTemplateSettings", p.m_strMobileTemplateSettings);
    p.m_strMobileResourcePath = textEntry(d, "strMobileResourcePath", p.m_strMobileResourcePath);
    p.m_strMobileColor = textEntry(d, "strMobileColor", p.m_strMobileColor);
    p.m_strMobileFlipStyle = textEntry(d, "strMobileFlipStyle", p.m_strMobileFlipStyle);
    p.m_strMobileDoubleSlide = textEntry(d, "strMobileDoubleSlide", p.m_strMobileDoubleSlide);
    return p;
}
