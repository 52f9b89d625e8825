// The Flash player's trust folders and the program's trust file.
#include "foundation/AppUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <unistd.h>

namespace {

// Written by administrators only; used when this user may write there.
const QString kSystemTrustFolder = QStringLiteral("/etc/adobe/FlashPlayerTrust");

QString userTrustFolder()
{
    return QDir::homePath() + QStringLiteral("/.macromedia/Flash_Player/#Security/FlashPlayerTrust");
}

bool systemFolderUsable()
{
    const QFileInfo info(kSystemTrustFolder);
    return info.isDir() && ::access(QFile::encodeName(kSystemTrustFolder).constData(), W_OK) == 0;
}

} // namespace

QStringList flashTrustFolderList()
{
    QStringList folders;
    const bool system = systemFolderUsable();
    if (system)
        folders << kSystemTrustFolder;
    const QString user = userTrustFolder();
    if (!system)
        QDir().mkpath(user);
    if (QFileInfo(user).isDir())
        folders << user;
    return folders;
}

QString AppUtility::getFlashTrustFolder()
{
    if (systemFolderUsable())
        return kSystemTrustFolder;
    const QString user = userTrustFolder();
    QDir().mkpath(user);
    return user;
}

bool AppUtility::makeDiractoryTrustByFlash(const QString &folder)
{
    // One trust file per program, one trusted path a line.
    const QString trustFile = getFlashTrustFolder() + QLatin1Char('/') + appFolderName() + QStringLiteral(".cfg");
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QStringList lines;
    QFile existing(trustFile);
    if (existing.open(QIODevice::ReadOnly))
        lines = QString::fromUtf8(existing.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    existing.close();
    for (QString &line : lines)
        line = line.trimmed();
    if (lines.contains(path))
        return true;
    lines << path;
    QSaveFile file(trustFile);
    const QByteArray data = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}
