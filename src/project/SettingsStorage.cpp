#include "project/SettingsStorage.h"

namespace SettingsStorage {

std::unique_ptr<QSettings> open()
{
    return std::make_unique<QSettings>(QStringLiteral("Zendarrow"), QStringLiteral("Quorvel"));
}

} // namespace SettingsStorage
