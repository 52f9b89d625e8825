#include "project/PreferencesSettings.h"

#include "foundation/SettingsStore.h"

#include <QMutexLocker>

namespace {

constexpr int MinimumDPI = 36;
constexpr int MaximumDPI = 1200;

QString dpiKey(int level)
{
    return QStringLiteral("ImageDPILevel%1").arg(level);
}

bool isLevel(int level)
{
    return level >= 0 && level < PreferencesSettings::QualityLevelCount;
}

} // namespace

PreferencesSettings::PreferencesSettings()
{
    loadSettings();
}

PreferencesSettings *PreferencesSettings::shareInstance()
{
    static PreferencesSettings instance;
    return &instance;
}

int PreferencesSettings::defaultImageDPI(int level)
{
    static constexpr std::array<int, QualityLevelCount> defaults{216, 144, 120};
    return isLevel(level) ? defaults[level] : defaults[0];
}

void PreferencesSettings::loadSettings()
{
    auto store = SettingsStore::open();
    std::array<int, QualityLevelCount> dpi{};
    for (int level = 0; level < QualityLevelCount; ++level) {
        bool ok = false;
        const int stored = store->value(dpiKey(level)).toString().trimmed().toInt(&ok);
        dpi[level] = ok && stored >= MinimumDPI && stored <= MaximumDPI ? stored : defaultImageDPI(level);
    }
    QMutexLocker lock(&m_mutex);
    m_dpi = dpi;
}

void PreferencesSettings::saveSettings()
{
    std::array<int, QualityLevelCount> dpi;
    {
        QMutexLocker lock(&m_mutex);
        dpi = m_dpi;
    }
    auto store = SettingsStore::open();
    for (int level = 0; level < QualityLevelCount; ++level)
        store->setValue(dpiKey(level), dpi[level]);
    store->sync();
}

int PreferencesSettings::imageDPILevel(int level) const
{
    if (!isLevel(level))
        return defaultImageDPI(level);
    QMutexLocker lock(&m_mutex);
    return m_dpi[level];
}

bool PreferencesSettings::setImageDPILevel(int level, int dpi)
{
    if (!isLevel(level) || dpi < MinimumDPI || dpi > MaximumDPI)
        return false;
    QMutexLocker lock(&m_mutex);
    m_dpi[level] = dpi;
    return true;
}
