#pragma once
// The one persistent store of the program's settings. Every settings record opens
// it through here, so all of them land in the same file.

#include <QSettings>
#include <memory>

namespace SettingsStorage {

// A handle on the shared store (organisation "Zendarrow", application "Quorvel").
// QSettings handles are cheap; each thread opens its own.
std::unique_ptr<QSettings> open();

} // namespace SettingsStorage
