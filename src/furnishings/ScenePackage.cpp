#include "furnishings/ScenePackage.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"
#include "furnishings/FlashScenesItem.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

bool failed(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

QString notAPackage(const QString &archive)
{
    return loadAppString("ScenePackage-\"%1\" is not a scene package.", "\"%1\" is not a scene package.")
        .arg(QFileInfo(archive).fileName());
}

// A fresh sibling name of path that does not exist yet.
QString freeSibling(const QString &path, const QString &tag)
{
    for (int i = 0;; ++i) {
        const QString candidate = QStringLiteral("%1.%2-%3").arg(path, tag).arg(i);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

} // namespace

namespace ScenePackage {

QString unpackArchive(const QString &archive, const QString &workFolder, QString *error)
{
    if (!QFileInfo(archive).isFile()) {
        failed(error, notAPackage(archive));
        return {};
    }
    QDir().mkpath(workFolder);
    const QString folder = freeSibling(QDir(workFolder).filePath(QStringLiteral("package")), QStringLiteral("unpacked"));
    ZipExtractor extractor;
    if (!QDir().mkpath(folder) || !extractor.extractFile(archive, folder)) {
        removeTree(folder);
        failed(error, notAPackage(archive) + QLatin1Char(' ') + extractor.errorString());
        return {};
    }
    // The package lies at the top, or in the one folder there.
    if (FlashScenesItem::isSceneFolder(folder))
        return folder;
    const QStringList inner = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
    if (inner.size() == 1 && files.isEmpty() && FlashScenesItem::isSceneFolder(QDir(folder).filePath(inner.first())))
        return QDir(folder).filePath(inner.first());
    removeTree(folder);
    failed(error, notAPackage(archive));
    return {};
}

bool replaceFolder(const QString &source, const QString &target, QString *error)
{
    const QString cleanTarget = QDir::cleanPath(target);
    const QString fresh = freeSibling(cleanTarget, QStringLiteral("new"));
    const auto cannot = [&] {
        return loadAppString("ScenePackage-\"%1\" cannot be written.", "\"%1\" cannot be written.").arg(cleanTarget);
    };
    if (!QDir().mkpath(fresh) || !AppUtility::copyFromPath(source, fresh, true)) {
        removeTree(fresh);
        return failed(error, cannot());
    }
    QString old;
    if (QFileInfo::exists(cleanTarget) || QFileInfo(cleanTarget).isSymLink()) {
        old = freeSibling(cleanTarget, QStringLiteral("old"));
        if (!QDir().rename(cleanTarget, old)) {
            removeTree(fresh);
            return failed(error, cannot());
        }
    }
    if (!QDir().rename(fresh, cleanTarget)) {
        if (!old.isEmpty())
            QDir().rename(old, cleanTarget);
        removeTree(fresh);
        return failed(error, cannot());
    }
    if (!old.isEmpty()) {
        if (QFileInfo(old).isSymLink())
            QFile::remove(old);
        else
            removeTree(old);
    }
    return true;
}

QString installArchive(const QString &archive, const QString &scenesFolder, const QString &name, QString *error)
{
    if (!FlashScenesItem::isValidSceneName(name)) {
        failed(error, loadAppString("ScenePackage-\"%1\" cannot be the name of a scene.", "\"%1\" cannot be the name of a scene.")
                          .arg(name));
        return {};
    }
    QTemporaryDir work;
    const QString package = unpackArchive(archive, work.path(), error);
    if (package.isEmpty())
        return {};
    const QString target = QDir(scenesFolder).filePath(name);
    if (!QDir().mkpath(scenesFolder) || !replaceFolder(package, target, error))
        return {};
    return target;
}

bool exportFolder(const QString &folder, const QString &archive, QString *error)
{
    ZipWriter zip(archive);
    if (!zip.addFolderContents(folder, QString(), false) || !zip.commit())
        return failed(error, zip.errorString());
    return true;
}

} // namespace ScenePackage
