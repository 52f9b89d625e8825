#include "foundation/HelperInstall.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"

#include <QFileInfo>

namespace HelperInstall {

Result install(const QString &packagePath, const QString &folder, const QString &version, const QString &exe)
{
    const bool needed = AppUtility::isNeedInstallPKGToPath(folder, version);
    if (!needed && QFileInfo::exists(exe))
        return Result::UpToDate;
    if (!QFileInfo(packagePath).isFile())
        return Result::NoPackage;

    if (QFileInfo::exists(exe))
        changeFilePermistion(exe, 0755);
    // The folder of an earlier install is read-only; removeTree opens it up first.
    if (QFileInfo::exists(folder) && !removeTree(folder))
        AppLog::shared().log(QStringLiteral("helper install: cannot remove the old copy in %1").arg(folder));
    if (!AppUtility::installPKGFile(packagePath, folder, version)) {
        AppLog::shared().log(QStringLiteral("helper install: cannot install %1 into %2").arg(packagePath, folder));
        return Result::Failed;
    }
    if (!QFileInfo(exe).isFile()) {
        AppLog::shared().log(QStringLiteral("helper install: the package holds no %1").arg(exe));
        return Result::Failed;
    }
    changeFilePermistion(exe, 0555);
    return Result::Installed;
}

} // namespace HelperInstall
