#pragma once
// Puts a helper program in place in its per-user install folder from the package among
// the program's resources (a ZIP archive, or a single file), when the folder holds no
// executable or one of an older package version (recorded in the folder's ".ver").
//
// A new version replaces the whole folder, which an earlier install left read-only:
// it is opened up first, so a read-only install never blocks an upgrade. The
// executable ends up read-and-execute only, like the folder. Nothing else belongs in
// an install folder: whatever lies there goes with the next upgrade.

#include <QString>

namespace HelperInstall {

enum class Result {
    UpToDate,  // the folder held the package's version and the executable
    Installed, // installed now
    NoPackage, // the package is missing from the resources
    Failed,    // the install did not complete (the log says why)
};

// Whether folder holds the executable exe of this package version or a newer one.
// Only looks: nothing is removed, so a caller may ask before it makes running users
// of the helper wait for an install.
bool isUpToDate(const QString &folder, const QString &version, const QString &exe);

// exe: where the executable lies once installed (inside folder). Without a package an
// older copy is left in place: a helper that works stays rather than going for nothing.
Result install(const QString &packagePath, const QString &folder, const QString &version, const QString &exe);

} // namespace HelperInstall
