// Archive and package operations of AppUtility.
#include "foundation/AppUtility.h"

#include "foundation/AppLog.h"
#include "foundation/NumberText.h"
#include "foundation/SafeFiles.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QString kVersionFile = QStringLiteral(".ver");
} // namespace

bool AppUtility::zipDirectory(const QString &folder, const QString &archivePath)
{
    ZipWriter writer(archivePath);
    if (writer.addFolderContents(folder) && writer.commit())
        return true;
    AppLog::shared().log(QStringLiteral("zip %1 failed: %2").arg(folder, writer.errorString()));
    return false;
}

bool AppUtility::unzipArchive(const QString &archivePath, const QString &folder)
{
    ZipExtractor extractor;
    if (extractor.extractFile(archivePath, folder))
        return true;
    AppLog::shared().log(QStringLiteral("unzip %1 failed: %2").arg(archivePath, extractor.errorString()));
    return false;
}

bool AppUtility::unzipData(const QByteArray &archive, const QString &folder)
{
    ZipExtractor extractor;
    if (extractor.extractData(archive, folder))
        return true;
    AppLog::shared().log(QStringLiteral("unzip into %1 failed: %2").arg(folder, extractor.errorString()));
    return false;
}

bool AppUtility::installPKGFile(const QString &packagePath, const QString &folder, const QString &version)
{
    QFile package(packagePath);
    if (!package.open(QIODevice::ReadOnly)) {
        AppLog::shared().log(QStringLiteral("install: cannot read %1").arg(packagePath));
        return false;
    }
    const bool isZip = package.peek(2) == "PK";
    package.close();

    // A link in the folder's place goes (an install never writes where a link leads);
    // an earlier install left the folder read-only; it must take new files now.
    if (QFileInfo(folder).isSymLink())
        QFile::remove(folder);
    if (QFileInfo(folder).isDir())
        makeTreeWritable(folder);
    else if (!QDir().mkpath(folder))
        return false;

    bool ok;
    if (isZip) {
        ok = unzipArchive(packagePath, folder);
    } else {
        const QString target = folder + QLatin1Char('/') + QFileInfo(packagePath).fileName();
        QString error;
        ok = SafeFiles::copyFile(packagePath, target, &error);
        if (!ok)
            AppLog::shared().log(QStringLiteral("install: %1").arg(error));
    }
    if (ok) {
        // Only a complete install records its version, so a failed one is retried.
        if (QFileInfo(folder + QLatin1Char('/') + kVersionFile).isSymLink())
            QFile::remove(folder + QLatin1Char('/') + kVersionFile);
        QSaveFile ver(folder + QLatin1Char('/') + kVersionFile);
        ok = ver.open(QIODevice::WriteOnly) && ver.write(version.toUtf8()) >= 0 && ver.commit();
    }
    changeFilePermistion(folder, 0555);
    return ok;
}

bool AppUtility::isNeedInstallPKGToPath(const QString &folder, const QString &version)
{
    QFile ver(folder + QLatin1Char('/') + kVersionFile);
    if (!ver.open(QIODevice::ReadOnly))
        return true;
    const QString installed = QString::fromUtf8(ver.readAll());
    ver.close();
    if (NumberText::intValue(installed) >= NumberText::intValue(version))
        return false;
    removeTree(folder);
    QDir().mkpath(folder);
    return true;
}
