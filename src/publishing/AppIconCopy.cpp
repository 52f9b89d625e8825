#include "publishing/AppIconCopy.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace AppIconCopy {

QString keepCopy(const QString &iconFile, const QString &folder, QString *error)
{
    const auto failed = [&](const QString &why) {
        AppLog::shared().log(QStringLiteral("icon %1 not kept: %2").arg(iconFile, why));
        if (error)
            *error = why;
        return QString();
    };
    const QFileInfo chosen(iconFile);
    if (iconFile.isEmpty() || !chosen.isFile())
        return iconFile;
    const QString targetFolder = folder.isEmpty() ? AppUtility::userAppExtraDataPath() : folder;
    if (!QDir().mkpath(targetFolder))
        return failed(QStringLiteral("the folder \"%1\" cannot be made").arg(QDir::toNativeSeparators(targetFolder)));
    const QString target = QDir::cleanPath(QDir(targetFolder).filePath(chosen.fileName()));
    const QFileInfo existing(target);
    // Removing "the older copy" must never remove the chosen file itself.
    if (existing.exists() && existing.canonicalFilePath() == chosen.canonicalFilePath())
        return target;

    // Copy beside the target first, so a failed copy leaves the older one in place.
    QTemporaryFile partial(QDir(targetFolder).filePath(QStringLiteral(".icon-XXXXXX")));
    partial.setAutoRemove(true);
    QFile source(iconFile);
    bool copied = partial.open() && source.open(QIODevice::ReadOnly);
    while (copied && !source.atEnd()) {
        const QByteArray block = source.read(1 << 16);
        copied = !block.isEmpty() && partial.write(block) == block.size();
    }
    copied = copied && partial.flush();
    if (copied) {
        partial.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                               | QFileDevice::ReadOther);
        partial.close();
        if (existing.exists() || existing.isSymLink())
            QFile::remove(target);
        copied = partial.rename(target);
    }
    if (!copied)
        return failed(QStringLiteral("\"%1\" cannot be written").arg(QDir::toNativeSeparators(target)));
    partial.setAutoRemove(false);
    return target;
}

} // namespace AppIconCopy
