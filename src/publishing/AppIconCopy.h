#pragma once
// Keeps the icon chosen for a desktop application book in the user's extra-data folder,
// so the book still finds its icon when the chosen file is moved or deleted later.

#include <QString>

namespace AppIconCopy {

// Copies iconFile into folder (the user's extra-data folder when empty; made when
// missing) under its own file name, replacing an older file of that name, and returns
// the copy's path. Returns iconFile unchanged when it is not an existing file. When the
// copy fails, returns "" and error says why (an older copy stays as it was): the
// caller keeps the icon it had, since iconFile may lie in a temporary folder. When
// iconFile already is that copy, whatever its spelling (links, "..", doubled
// slashes), nothing is copied or removed and the copy's path is returned.
QString keepCopy(const QString &iconFile, const QString &folder = QString(), QString *error = nullptr);

} // namespace AppIconCopy
