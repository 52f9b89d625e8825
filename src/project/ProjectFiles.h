#pragma once
// File helpers of the project code: paths inside a folder, relative names that are
// safe to follow, and copies that never leave a half-written file under the final
// name.

#include <QString>
#include <functional>

namespace ProjectFiles {

// True when path is folder itself or lies below it (by their cleaned absolute paths).
bool isInside(const QString &path, const QString &folder);

// True for a relative path that stays inside the folder it is taken against: not
// empty, not absolute, no ".." step.
bool isSafeRelativePath(const QString &relative);

enum class NameKind { File, Folder };

// folder/name when nothing is there, else folder/name-2, name-3, ... (a file keeps
// its extension last: "a.jpg", "a-2.jpg"); names in taken count as used too.
QString freePath(const QString &folder, const QString &name, NameKind kind,
                 const std::function<bool(const QString &)> &taken = {});

// Copies a file through a temporary file in the destination's folder, which is then
// renamed; the copy keeps the source's modification time. Creates the destination's
// folder. False, with *error, when anything fails (no file is left behind then).
bool copyFile(const QString &source, const QString &destination, QString *error = nullptr);

} // namespace ProjectFiles
