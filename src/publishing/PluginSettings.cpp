#include "publishing/PluginSettings.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"
#include "foundation/NumberText.h"
#include "foundation/PropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kUnitW = QStringLiteral("unitW");
const QString kUnitH = QStringLiteral("unitH");
const QString kPercent = QStringLiteral("%");

} // namespace

PluginSettings::PluginSettings() : m_filePath(defaultFilePath()) {}

PluginSettings::PluginSettings(const QString &filePath) : m_filePath(filePath) {}

QString PluginSettings::defaultFilePath()
{
    return QDir(AppUtility::userAppExtraDataPath()).filePath(QStringLiteral(".pluginSettings.plist"));
}

QVariantMap PluginSettings::defaultValues()
{
    return {
        {QStringLiteral("name"), QStringLiteral("flipbook-plugin")},
        {QStringLiteral("width"), QStringLiteral("100")},
        {QStringLiteral("height"), QStringLiteral("100")},
        {kUnitW, kPercent},
        {kUnitH, kPercent},
        {QStringLiteral("jVer"), QStringLiteral("2.5")},
        {QStringLiteral("jID"), QStringLiteral("1")},
        {QStringLiteral("dVer"), QStringLiteral("7")},
        {QStringLiteral("dID"), QStringLiteral("1")},
    };
}

void PluginSettings::loadDictionaryFromFile()
{
    if (!QFileInfo::exists(m_filePath)) {
        m_settings = defaultValues();
        saveSettings();
        return;
    }
    QString error;
    const std::optional<QVariant> read = PropertyList::readFile(m_filePath, &error);
    m_settings.clear();
    if (read && read->typeId() == QMetaType::QVariantMap)
        m_settings = read->toMap();
    else
        AppLog::shared().log(QStringLiteral("plug-in settings %1 unreadable: %2").arg(m_filePath, error));
    if (!m_settings.contains(kUnitW))
        m_settings.insert(kUnitW, kPercent);
    if (!m_settings.contains(kUnitH))
        m_settings.insert(kUnitH, kPercent);
    m_loadValueMd5 = settingsValueMD5();
}

bool PluginSettings::saveSettings()
{
    QString error;
    if (PropertyList::writeFile(m_filePath, m_settings, &error))
        return true;
    AppLog::shared().log(QStringLiteral("plug-in settings %1 not written: %2").arg(m_filePath, error));
    return false;
}

bool PluginSettings::saveAndRecordDigest()
{
    const bool written = saveSettings();
    m_loadValueMd5 = settingsValueMD5();
    return written;
}

void PluginSettings::advanceModuleId(OutputKind kind)
{
    QString key;
    if (kind == OutputKind::Joomla)
        key = QStringLiteral("jID");
    else if (kind == OutputKind::Drupal)
        key = QStringLiteral("dID");
    else
        return;
    const qint64 next = NumberText::longLongValue(text(key)) + 1;
    m_settings.insert(key, next);
}

QString PluginSettings::text(const QString &key) const
{
    return valueText(m_settings.value(key));
}

QString PluginSettings::valueText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
    case QMetaType::Float:
        return NumberText::shortest(value.toDouble());
    case QMetaType::QDateTime:
        return value.toDateTime().toUTC().toString(Qt::ISODate);
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex());
    default:
        return value.toString();
    }
}

QString PluginSettings::settingsValueMD5() const
{
    return settingsValueMD5(m_settings);
}

QString PluginSettings::settingsValueMD5(const QVariantMap &values)
{
    // QVariantMap iterates its keys in ascending order of plain string comparison.
    // Each key and value is written with its length first, so no two different sets
    // of values join to the same text ("10" + "0" against "1" + "00").
    QString joined;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString value = valueText(it.value());
        joined += QStringLiteral("%1:%2=%3:%4;").arg(it.key().size()).arg(it.key()).arg(value.size()).arg(value);
    }
    return AppUtility::MD5StringOfString(joined);
}

QString PluginSettings::joomlaVersionText(const QString &text)
{
    double version = NumberText::doubleValue(text);
    if (version < 2.5)
        version = 1.5;
    return NumberText::fixed(version, 1);
}

QString PluginSettings::drupalVersionText(const QString &text)
{
    int version = NumberText::intValue(text);
    if (version <= 5)
        version = 6;
    return QString::number(version);
}
