#pragma once
// The remembered settings of the web content system packages (WordPress, Joomla,
// Drupal): plug-in name, display size with units, and the Joomla and Drupal version
// and module id. They live in ".pluginSettings.plist" directly in the user's extra-data
// folder, an XML property list holding one dictionary, shared by the publish dialog and
// the plug-in package dialog.
//
// Keys: "name", "width", "height", "unitW", "unitH", "jVer", "jID", "dVer", "dID"
// (strings; the two ids become integers after a publish that used them), and "type",
// kept only by the plug-in package dialog. Unknown keys are kept as they are.
//
// The digest (settingsValueMD5) tells a dialog whether the values changed since they
// were last loaded or saved.

#include "output/OutputKind.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

class PluginSettings
{
public:
    // A store over the file in the user's extra-data folder.
    PluginSettings();
    // A store over another file (tests, other owners).
    explicit PluginSettings(const QString &filePath);

    // ".pluginSettings.plist" in the user's extra-data folder.
    static QString defaultFilePath();
    // The values a first use starts with ("type" not included).
    static QVariantMap defaultValues();

    QString filePath() const { return m_filePath; }

    // Fills the values from the file. Without a file the defaults are entered and
    // written at once, and no digest is recorded. A file that is not a dictionary
    // leaves only the two units ("%"). A missing unit becomes "%".
    void loadDictionaryFromFile();
    // Writes the values to the file atomically; false when the write failed (the
    // values stay in memory).
    bool saveSettings();
    // saveSettings(), then records the digest of the values written.
    bool saveAndRecordDigest();

    // The next module id after a publish of a Joomla or Drupal module: the stored id
    // read as an integer, plus 1, stored as an integer. Other kinds change nothing.
    void advanceModuleId(OutputKind kind);

    // MD5 (lower-case hex) of the keys and the values' texts, each with its length,
    // in ascending key order.
    QString settingsValueMD5() const;
    static QString settingsValueMD5(const QVariantMap &values);

    // The digest of the values as last loaded or saved; empty when none was recorded.
    QString loadValueMd5() const { return m_loadValueMd5; }
    // True when the values differ from those last loaded or saved.
    bool isChangedSinceLoad() const { return settingsValueMD5() != m_loadValueMd5; }

    QVariantMap &settingsDict() { return m_settings; }
    const QVariantMap &settingsDict() const { return m_settings; }
    // The text form of the value under key (integers as decimals); empty when missing.
    QString text(const QString &key) const;
    void setText(const QString &key, const QString &value) { m_settings.insert(key, value); }

    // The Joomla version as handed to the output engine: the leading number of text,
    // 1.5 when below 2.5, written with one decimal ("2.5 and later" gives "2.5").
    static QString joomlaVersionText(const QString &text);
    // The Drupal version: the leading integer of text, 6 when 5 or less ("%i").
    static QString drupalVersionText(const QString &text);

    // How a value is written into the digest: strings as they are, numbers in decimal.
    static QString valueText(const QVariant &value);

private:
    QString m_filePath;
    QVariantMap m_settings;
    QString m_loadValueMd5;
};
