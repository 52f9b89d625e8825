#include "foundation/HelperInstall.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"

#include "foundation/NumberText.h"

#include <QFile>
#include <QFileInfo>

namespace HelperInstall {

namespace {

// Changes the mode of path itself; a link is never followed (what it points at may be
// anything of the user's).
void setModeUnlessLink(const QString &path, uint mode)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isSymLink())
        changeFilePermistion(path, mode);
}

} // namespace

bool isUpToDate(const QString &folder, const QString &version, const QString &exe)
{
    QFile ver(folder + QStringLiteral("/.ver"));
    return QFileInfo::exists(exe) && ver.open(QIODevice::ReadOnly)
        && NumberText::intValue(QString::fromUtf8(ver.readAll())) >= NumberText::intValue(version);
}

Result install(const QString &packagePath, const QString &folder, const QString &version, const QString &exe)
{
    if (isUpToDate(folder, version, exe))
        return Result::UpToDate;
    if (!QFileInfo(packagePath).isFile())
        return Result::NoPackage;

    setModeUnlessLink(exe, 0755);
    // The folder of an earlier install is read-only; removeTree opens it up first (a
    // folder that is a link goes as the link alone).
    if ((QFileInfo::exists(folder) || QFileInfo(folder).isSymLink()) && !removeTree(folder))
        AppLog::shared().log(QStringLiteral("helper install: cannot remove the old copy in %1").arg(folder));
    if (!AppUtility::installPKGFile(packagePath, folder, version)) {
        AppLog::shared().log(QStringLiteral("helper install: cannot install %1 into %2").arg(packagePath, folder));
        return Result::Failed;
    }
    if (!QFileInfo(exe).isFile() || QFileInfo(exe).isSymLink()) {
        AppLog::shared().log(QStringLiteral("helper install: the package holds no %1").arg(exe));
        return Result::Failed;
    }
    setModeUnlessLink(exe, 0555);
    return Result::Installed;
}

} // namespace HelperInstall
