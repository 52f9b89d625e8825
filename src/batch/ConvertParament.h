#pragma once
// The output settings of one conversion: what the publish dialog, the plug-in
// package dialog and each row of a batch list edit and hand to the output job.

#include <QString>
#include <QVariantMap>

class ConvertParament
{
public:
    ConvertParament() = default;

    // Dictionary form for batch lists: one entry per field, under the field's name.
    QVariantMap toDictionary() const;
    // Missing entries and entries of the wrong type keep the defaults.
    static ConvertParament fromDictionary(const QVariantMap &dictionary);

    int iOutputType() const { return m_iOutputType; }
    void setIOutputType(int value) { m_iOutputType = value; }
    QString strOutputFolder() const { return m_strOutputFolder; }
    void setStrOutputFolder(const QString &value) { m_strOutputFolder = value; }
    QString strOutputName() const { return m_strOutputName; }
    void setStrOutputName(const QString &value) { m_strOutputName = value; }
    QString strTitle() const { return m_strTitle; }
    void setStrTitle(const QString &value) { m_strTitle = value; }
    QString strKeywords() const { return m_strKeywords; }
    void setStrKeywords(const QString &value) { m_strKeywords = value; }
    QString strDecription() const { return m_strDecription; }
    void setStrDecription(const QString &value) { m_strDecription = value; }
    QString strScripts() const { return m_strScripts; }
    void setStrScripts(const QString &value) { m_strScripts = value; }
    int loadType() const { return m_loadType; }
    void setLoadType(int value) { m_loadType = value; }
    bool compressToZip() const { return m_compressToZip; }
    void setCompressToZip(bool value) { m_compressToZip = value; }
    bool isConvertBasicHtml() const { return m_isConvertBasicHtml; }
    void setIsConvertBasicHtml(bool value) { m_isConvertBasicHtml = value; }
    QString strExeIconFile() const { return m_strExeIconFile; }
    void setStrExeIconFile(const QString &value) { m_strExeIconFile = value; }
    QString strAppIconFile() const { return m_strAppIconFile; }
    void setStrAppIconFile(const QString &value) { m_strAppIconFile = value; }

    // Desktop application book settings. An empty text (or 0 for iAppWindowHide)
    // leaves the choice to the application settings when the book is written, so
    // records stored before these fields existed behave as they did.
    QString strAppVersion() const { return m_strAppVersion; }
    void setStrAppVersion(const QString &value) { m_strAppVersion = value; }
    QString strAppIdentifier() const { return m_strAppIdentifier; }
    void setStrAppIdentifier(const QString &value) { m_strAppIdentifier = value; }
    // Window of the application book ("MAX", "FULLSCREEN" or "CUSTOM:w,h").
    QString strWindowSize() const { return m_strWindowSize; }
    void setStrWindowSize(const QString &value) { m_strWindowSize = value; }
    // Window of the Windows executable book, same form.
    QString strExeSize() const { return m_strExeSize; }
    void setStrExeSize(const QString &value) { m_strExeSize = value; }
    // Closing the application book's window: 2 hides it, 1 quits.
    int iAppWindowHide() const { return m_iAppWindowHide; }
    void setIAppWindowHide(int value) { m_iAppWindowHide = value; }

    // The phone version's own settings (the output window's mobile settings). Empty
    // texts leave the phone template's settings as they are.
    // The chosen mobile settings file: a settings text or a theme package.
    QString strMobileSettingFile() const { return m_strMobileSettingFile; }
    void setStrMobileSettingFile(const QString &value) { m_strMobileSettingFile = value; }
    // The settings text of the phone template loaded from that file, and the folder its
    // "STYLE_EXTERN:" values lie in (an unpacked theme package); empty when none was loaded.
    QString strMobileTemplateSettings() const { return m_strMobileTemplateSettings; }
    void setStrMobileTemplateSettings(const QString &value) { m_strMobileTemplateSettings = value; }
    QString strMobileResourcePath() const { return m_strMobileResourcePath; }
    void setStrMobileResourcePath(const QString &value) { m_strMobileResourcePath = value; }
    // Background colour "0xRRGGBB", page turn "Flip" or "Slide", double-page slide "Yes" or "No".
    QString strMobileColor() const { return m_strMobileColor; }
    void setStrMobileColor(const QString &value) { m_strMobileColor = value; }
    QString strMobileFlipStyle() const { return m_strMobileFlipStyle; }
    void setStrMobileFlipStyle(const QString &value) { m_strMobileFlipStyle = value; }
    QString strMobileDoubleSlide() const { return m_strMobileDoubleSlide; }
    void setStrMobileDoubleSlide(const QString &value) { m_strMobileDoubleSlide = value; }

    bool operator==(const ConvertParament &other) const = default;

private:
    int m_iOutputType = 0;
    QString m_strOutputFolder;
    QString m_strOutputName;
    QString m_strTitle;
    QString m_strKeywords;
    QString m_strDecription;
    QString m_strScripts;
    int m_loadType = 0;
    bool m_compressToZip = false;
    bool m_isConvertBasicHtml = false;
    QString m_strExeIconFile;
    QString m_strAppIconFile;
    QString m_strAppVersion;
    QString m_strAppIdentifier;
    QString m_strWindowSize;
    QString m_strExeSize;
    int m_iAppWindowHide = 0;
    QString m_strMobileSettingFile;
    QString m_strMobileTemplateSettings;
    QString m_strMobileResourcePath;
    QString m_strMobileColor;
    QString m_strMobileFlipStyle;
    QString m_strMobileDoubleSlide;
};
