#pragma once
// What the publish report says about a web content system package (kinds 6 WordPress,
// 7 Joomla, 8 Drupal): its size and, when a site's own upload form would refuse it,
// how to install it by unpacking it on the site instead. PHP accepts uploads of 8 MB
// unless the site raised its limits, and WordPress then only says that the link has
// expired.

#include <QString>
#include <QtGlobal>

namespace PluginPackageNote {

// The largest package the upload forms take on a site with PHP's default limits.
inline constexpr qint64 kUploadLimit = 8 * 1024 * 1024;

// The note for the package at path; empty for other kinds and for a missing file.
QString text(const QString &packagePath, int kind);

} // namespace PluginPackageNote
