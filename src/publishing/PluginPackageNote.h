#pragma once
// What the publish report and the plug-in package dialog say about a web content system
// package (WordPress, Joomla, Drupal): its size and, when a site's own upload form would
// refuse it, how to install it by unpacking it on the site instead. PHP takes uploads of
// at most 2 MB (upload_max_filesize) unless the site raised its limits, and sites keep
// that default often.

#include "output/OutputKind.h"

#include <QString>
#include <QtGlobal>

namespace PluginPackageNote {

// The largest package the upload forms take on a site with PHP's default limits.
inline constexpr qint64 kUploadLimit = 2 * 1024 * 1024;

// The note for the package at path; empty for other kinds and for a missing file.
QString text(const QString &packagePath, OutputKind kind);

} // namespace PluginPackageNote
