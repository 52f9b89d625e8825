#include "project/AppSettings.h"

#include "foundation/AppStrings.h"
#include "foundation/SettingsStore.h"

#include <QDir>
#include <QMutexLocker>
#include <QStandardPaths>

#include <algorithm>

namespace {

// Every key this record keeps; each is also the property's name.
const QStringList &settingKeys()
{
    static const QStringList keys = {
        QStringLiteral("outputType"),        QStringLiteral("lastOutputFileFolder"),
        QStringLiteral("lastOutputFileName"), QStringLiteral("lastOutputFileTitle"),
        QStringLiteral("lastOutputKeyWords"), QStringLiteral("lastOutputDescription"),
        QStringLiteral("lastOutputAddScript"), QStringLiteral("loadType"),
        QStringLiteral("compressToZip"),     QStringLiteral("convertBasicHtml"),
        QStringLiteral("outputMobileVersion"), QStringLiteral("strIcoFile"),
        QStringLiteral("appIconFile"),       QStringLiteral("appVersion"),
        QStringLiteral("appIdentifier"),     QStringLiteral("strWindowSize"),
        QStringLiteral("strExeSize"),        QStringLiteral("iAppWindowHide"),
        QStringLiteral("isAdvancedModify"),  QStringLiteral("isWindowRollUp"),
        QStringLiteral("importQualityLevel"), QStringLiteral("bookmarkTabAlpha"),
        QStringLiteral("topOrSide"),
    };
    return keys;
}

QString orWhenEmpty(const QString &value, const QString &fallback)
{
    return value.isEmpty() ? fallback : value;
}

} // namespace

AppSettings::AppSettings()
{
    loadSettings();
}

AppSettings *AppSettings::shareInstance()
{
    static AppSettings instance;
    return &instance;
}

void AppSettings::loadSettings()
{
    auto store = SettingsStore::open();
    QVariantMap values;
    for (const QString &key : settingKeys()) {
        if (store->contains(key))
            values.insert(key, store->value(key));
    }
    QMutexLocker lock(&m_mutex);
    m_values = values;
}

void AppSettings::saveSettings()
{
    QVariantMap values;
    {
        QMutexLocker lock(&m_mutex);
        values = m_values;
    }
    auto store = SettingsStore::open();
    for (const QString &key : settingKeys()) {
        if (values.contains(key))
            store->setValue(key, values.value(key));
        else
            store->remove(key);
    }
    store->sync();
}

QString AppSettings::defaultAddScript()
{
    return QStringList{QStringLiteral("<script type=text/javascript>"),
                       loadAppString("AdvancedS-put your javascript code below", "//put your javascript code below"),
                       QStringLiteral("\n</script>")}
        .join(QLatin1Char('\n'));
}

QString AppSettings::defaultOutputFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath() + QStringLiteral("/Documents");
    return documents + QStringLiteral("/Zendarrow/");
}

bool AppSettings::has(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_values.contains(key);
}

QString AppSettings::text(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_values.value(key).toString();
}

int AppSettings::integer(const QString &key, int fallback) const
{
    QMutexLocker lock(&m_mutex);
    const QVariant v = m_values.value(key);
    if (!v.isValid())
        return fallback;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n : fallback;
}

bool AppSettings::boolean(const QString &key, bool fallback) const
{
    QMutexLocker lock(&m_mutex);
    const QString v = m_values.value(key).toString().trimmed().toLower();
    if (v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("false") || v == QLatin1String("no") || v == QLatin1String("0"))
        return false;
    return fallback;
}

void AppSettings::set(const QString &key, const QVariant &value)
{
    QMutexLocker lock(&m_mutex);
    m_values.insert(key, value);
}

int AppSettings::outputType() const { return integer(QStringLiteral("outputType"), 0); }
void AppSettings::setOutputType(int value) { set(QStringLiteral("outputType"), value); }

QString AppSettings::lastOutputFileFolder() const
{
    return orWhenEmpty(text(QStringLiteral("lastOutputFileFolder")), defaultOutputFolder());
}
void AppSettings::setLastOutputFileFolder(const QString &value) { set(QStringLiteral("lastOutputFileFolder"), value); }

QString AppSettings::lastOutputFileName() const
{
    return orWhenEmpty(text(QStringLiteral("lastOutputFileName")), QStringLiteral("Zendarrow"));
}
void AppSettings::setLastOutputFileName(const QString &value) { set(QStringLiteral("lastOutputFileName"), value); }

QString AppSettings::lastOutputFileTitle() const
{
    return orWhenEmpty(text(QStringLiteral("lastOutputFileTitle")), QStringLiteral("Demo"));
}
void AppSettings::setLastOutputFileTitle(const QString &value) { set(QStringLiteral("lastOutputFileTitle"), value); }

QString AppSettings::lastOutputKeyWords() const { return text(QStringLiteral("lastOutputKeyWords")); }
void AppSettings::setLastOutputKeyWords(const QString &value) { set(QStringLiteral("lastOutputKeyWords"), value); }

QString AppSettings::lastOutputDescription() const { return text(QStringLiteral("lastOutputDescription")); }
void AppSettings::setLastOutputDescription(const QString &value) { set(QStringLiteral("lastOutputDescription"), value); }

QString AppSettings::lastOutputAddScript() const
{
    return has(QStringLiteral("lastOutputAddScript")) ? text(QStringLiteral("lastOutputAddScript")) : defaultAddScript();
}
void AppSettings::setLastOutputAddScript(const QString &value) { set(QStringLiteral("lastOutputAddScript"), value); }

int AppSettings::loadType() const { return integer(QStringLiteral("loadType"), 0); }
void AppSettings::setLoadType(int value) { set(QStringLiteral("loadType"), value); }

bool AppSettings::compressToZip() const { return boolean(QStringLiteral("compressToZip"), false); }
void AppSettings::setCompressToZip(bool value) { set(QStringLiteral("compressToZip"), value); }

bool AppSettings::convertBasicHtml() const { return boolean(QStringLiteral("convertBasicHtml"), false); }
void AppSettings::setConvertBasicHtml(bool value) { set(QStringLiteral("convertBasicHtml"), value); }

int AppSettings::outputMobileVersion() const { return integer(QStringLiteral("outputMobileVersion"), 1); }
void AppSettings::setOutputMobileVersion(int value) { set(QStringLiteral("outputMobileVersion"), value); }

QString AppSettings::strIcoFile() const { return text(QStringLiteral("strIcoFile")); }
void AppSettings::setStrIcoFile(const QString &value) { set(QStringLiteral("strIcoFile"), value); }

QString AppSettings::appIconFile() const { return text(QStringLiteral("appIconFile")); }
void AppSettings::setAppIconFile(const QString &value) { set(QStringLiteral("appIconFile"), value); }

QString AppSettings::appVersion() const
{
    return has(QStringLiteral("appVersion")) ? text(QStringLiteral("appVersion")) : AppBookDefaults::version;
}
void AppSettings::setAppVersion(const QString &value) { set(QStringLiteral("appVersion"), value); }

QString AppSettings::appIdentifier() const
{
    return has(QStringLiteral("appIdentifier")) ? text(QStringLiteral("appIdentifier")) : defaultIdentifierName;
}
void AppSettings::setAppIdentifier(const QString &value) { set(QStringLiteral("appIdentifier"), value); }

QString AppSettings::strWindowSize() const { return text(QStringLiteral("strWindowSize")); }
void AppSettings::setStrWindowSize(const QString &value) { set(QStringLiteral("strWindowSize"), value); }

QString AppSettings::strExeSize() const
{
    return has(QStringLiteral("strExeSize")) ? text(QStringLiteral("strExeSize")) : AppBookDefaults::exeWindowSize;
}
void AppSettings::setStrExeSize(const QString &value) { set(QStringLiteral("strExeSize"), value); }

int AppSettings::iAppWindowHide() const
{
    return std::clamp(integer(QStringLiteral("iAppWindowHide"), AppBookDefaults::windowHide), 1, 2);
}
void AppSettings::setIAppWindowHide(int value) { set(QStringLiteral("iAppWindowHide"), value); }

int AppSettings::isAdvancedModify() const { return integer(QStringLiteral("isAdvancedModify"), 0); }
void AppSettings::setIsAdvancedModify(int value) { set(QStringLiteral("isAdvancedModify"), value); }

int AppSettings::isWindowRollUp() const { return integer(QStringLiteral("isWindowRollUp"), 0); }
void AppSettings::setIsWindowRollUp(int value) { set(QStringLiteral("isWindowRollUp"), value); }

int AppSettings::importQualityLevel() const
{
    return std::clamp(integer(QStringLiteral("importQualityLevel"), 1), 0, 2);
}
void AppSettings::setImportQualityLevel(int value) { set(QStringLiteral("importQualityLevel"), value); }

int AppSettings::bookmarkTabAlpha() const
{
    return std::clamp(integer(QStringLiteral("bookmarkTabAlpha"), 70), 0, 100);
}
void AppSettings::setBookmarkTabAlpha(int value) { set(QStringLiteral("bookmarkTabAlpha"), value); }

QString AppSettings::topOrSide() const
{
    return orWhenEmpty(text(QStringLiteral("topOrSide")), QStringLiteral("Top"));
}
void AppSettings::setTopOrSide(const QString &value) { set(QStringLiteral("topOrSide"), value); }
