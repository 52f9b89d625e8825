#include "pages/PageError.h"

#include "foundation/AppStrings.h"

#include <QDir>
#include <QFileInfo>

namespace PageMessages {

QString fileNotFound(const QString &path)
{
    return loadAppString(QStringLiteral("PageImport-The file \"%1\" does not exist."),
                         QStringLiteral("The file \"%1\" does not exist."))
        .arg(QDir::toNativeSeparators(path));
}

QString passwordNeeded(const QString &path)
{
    return loadAppString(QStringLiteral("PageImport-\"%1\" is protected by a password. Please enter its password."),
                         QStringLiteral("\"%1\" is protected by a password. Please enter its password."))
        .arg(QFileInfo(path).fileName());
}

QString wrongPassword(const QString &path)
{
    return loadAppString(QStringLiteral("PageImport-The password for \"%1\" is not correct."),
                         QStringLiteral("The password for \"%1\" is not correct."))
        .arg(QFileInfo(path).fileName());
}

QString damagedPdf(const QString &path)
{
    return loadAppString(QStringLiteral("PageImport-\"%1\" is damaged or is not a PDF document."),
                         QStringLiteral("\"%1\" is damaged or is not a PDF document."))
        .arg(QFileInfo(path).fileName());
}

QString unreadablePicture(const QString &path, const QString &reason)
{
    QString message = loadAppString(QStringLiteral("PageImport-The picture \"%1\" cannot be read."),
                                    QStringLiteral("The picture \"%1\" cannot be read."))
                          .arg(QFileInfo(path).fileName());
    if (!reason.isEmpty())
        message += QLatin1Char(' ') + reason;
    return message;
}

QString cannotWrite(const QString &path)
{
    return loadAppString(
               QStringLiteral(
                   "PageImport-Cannot write \"%1\". Please check the free disk space and the folder's permissions."),
               QStringLiteral("Cannot write \"%1\". Please check the free disk space and the folder's permissions."))
        .arg(QDir::toNativeSeparators(path));
}

QString cancelled()
{
    return loadAppString(QStringLiteral("PageImport-The import was cancelled."),
                         QStringLiteral("The import was cancelled."));
}

} // namespace PageMessages
