#include "output/packages/PackageTemplates.h"

#include "foundation/AppLog.h"
#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>

namespace {

QString installedFolder(const QString &subFolder, const QString &package)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    const QString folder = AppUtility::userAppResourcePath(subFolder);
    const QFileInfo source(AppResources::resourcePath(QStringLiteral("packages/") + package));
    if (!source.isFile())
        return folder;
    // Seconds since 2020: the installed-version check reads a 32-bit number.
    static const qint64 base = QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    const QString version = QString::number(source.lastModified().toSecsSinceEpoch() - base);
    if (AppUtility::isNeedInstallPKGToPath(folder, version) &&
        !AppUtility::installPKGFile(source.filePath(), folder, version))
        AppLog::shared().log(QStringLiteral("cannot install %1 into %2").arg(source.filePath(), folder));
    return folder;
}

} // namespace

QString WIN_EXE_ZIP_FOLDER()
{
    return installedFolder(QStringLiteral("WinExe"), QStringLiteral("win-exe.zip"));
}

QString MAC_APP_ZIP_FOLDER()
{
    return installedFolder(QStringLiteral("MacApp"), QStringLiteral("mac-app.zip"));
}

QString PackageTemplates::winExeStubPath()
{
    return WIN_EXE_ZIP_FOLDER() + QStringLiteral("/book.data");
}

QString PackageTemplates::macAppTemplatePath()
{
    return MAC_APP_ZIP_FOLDER() + QStringLiteral("/mac.app");
}
