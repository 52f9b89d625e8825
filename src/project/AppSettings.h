#pragma once
// The application settings: the last choices of the publish dialog and its advanced
// settings, and a few values of the main window, kept between runs.
//
// Values live in memory; loadSettings() reads them from the shared settings store and
// saveSettings() writes all of them back at once. Getters apply the program's defaults
// where a value is missing (and, for the output title, name and folder, also where it
// is empty), so callers never see a blank title or folder. Safe to use from any thread.

#include "output/packages/AppBookDefaults.h"

#include <QMutex>
#include <QString>
#include <QVariantMap>

class AppSettings
{
public:
    // An instance filled from the store. The program uses shareInstance(); separate
    // instances serve to read the store afresh.
    AppSettings();

    static AppSettings *shareInstance();

    void loadSettings(); // re-reads every value from the store
    void saveSettings(); // writes every value to the store at once

    // Output kind (0 HTML, 1 APP, 2 ZIP, 3 EXE, 4 HTML5, 5 FMAPP, 6-8 plug-ins).
    int outputType() const;
    void setOutputType(int value);

    QString lastOutputFileFolder() const; // Documents + "/Zendarrow/" when empty
    void setLastOutputFileFolder(const QString &value);
    QString lastOutputFileName() const; // "Zendarrow" when empty
    void setLastOutputFileName(const QString &value);
    QString lastOutputFileTitle() const; // "Demo" when empty
    void setLastOutputFileTitle(const QString &value);
    QString lastOutputKeyWords() const;
    void setLastOutputKeyWords(const QString &value);
    QString lastOutputDescription() const;
    void setLastOutputDescription(const QString &value);
    QString lastOutputAddScript() const; // defaultAddScript() when never set
    void setLastOutputAddScript(const QString &value);

    int loadType() const; // 0 to 3
    void setLoadType(int value);
    bool compressToZip() const;
    void setCompressToZip(bool value);
    bool convertBasicHtml() const;
    void setConvertBasicHtml(bool value);
    int outputMobileVersion() const;
    void setOutputMobileVersion(int value);

    QString strIcoFile() const; // icon of Windows executable books
    void setStrIcoFile(const QString &value);
    QString appIconFile() const; // icon of desktop application books
    void setAppIconFile(const QString &value);
    QString appVersion() const; // "1.0" when never set
    void setAppVersion(const QString &value);
    QString appIdentifier() const; // defaultIdentifierName when never set
    void setAppIdentifier(const QString &value);
    QString strWindowSize() const; // "MAX", "FULLSCREEN" or "CUSTOM:w,h"; empty by default
    void setStrWindowSize(const QString &value);
    QString strExeSize() const; // same form; "MAX" when never set
    void setStrExeSize(const QString &value);
    int iAppWindowHide() const; // 1 or 2
    void setIAppWindowHide(int value);
    int isAdvancedModify() const;
    void setIsAdvancedModify(int value);
    int isWindowRollUp() const; // bit mask of rolled-up panes
    void setIsWindowRollUp(int value);
    int importQualityLevel() const; // 0 (best) to 2
    void setImportQualityLevel(int value);
    int bookmarkTabAlpha() const; // opacity of bookmark tabs in percent
    void setBookmarkTabAlpha(int value);
    QString topOrSide() const; // "Top" or "Side"
    void setTopOrSide(const QString &value);

    // The extra page script offered when the user has none yet.
    static QString defaultAddScript();
    // Documents + "/Zendarrow/".
    static QString defaultOutputFolder();

private:
    bool has(const QString &key) const;
    QString text(const QString &key) const;
    int integer(const QString &key, int fallback) const;
    bool boolean(const QString &key, bool fallback) const;
    void set(const QString &key, const QVariant &value);

    mutable QMutex m_mutex;
    QVariantMap m_values; // only values that were stored or set
};
