#pragma once
// File helpers of the project code: paths inside a folder, relative names that are
// safe to follow, free names. Files are copied with SafeFiles::copyFile.

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

} // namespace ProjectFiles
