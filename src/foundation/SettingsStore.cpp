#include "foundation/SettingsStore.h"

std::unique_ptr<QSettings> SettingsStore::open()
{
    return std::make_unique<QSettings>(QStringLiteral("Zendarrow"), QStringLiteral("Quorvel"));
}

QVariant SettingsStore::value(const QString &key, const QVariant &defaultValue)
{
    return open()->value(key, defaultValue);
}

void SettingsStore::setValue(const QString &key, const QVariant &value)
{
    open()->setValue(key, value);
}

void SettingsStore::remove(const QString &key)
{
    open()->remove(key);
}

void SettingsStore::sync()
{
    open()->sync();
}
