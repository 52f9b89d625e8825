#include "pages/PageError.h"

#include <QDir>
#include <QFileInfo>

namespace PageMessages {

QString text(const char *english)
{
    return QString::fromUtf8(english);
}

QString fileNotFound(const QString &path)
{
    return text("The file \"%1\" does not exist.").arg(QDir::toNativeSeparators(path));
}

QString passwordNeeded(const QString &path)
{
    return text("\"%1\" is protected by a password. Please enter its password.").arg(QFileInfo(path).fileName());
}

QString wrongPassword(const QString &path)
{
    return text("The password for \"%1\" is not correct.").arg(QFileInfo(path).fileName());
}

QString damagedPdf(const QString &path)
{
    return text("\"%1\" is damaged or is not a PDF document.").arg(QFileInfo(path).fileName());
}

QString unreadablePicture(const QString &path, const QString &reason)
{
    QString message = text("The picture \"%1\" cannot be read.").arg(QFileInfo(path).fileName());
    if (!reason.isEmpty())
        message += QLatin1Char(' ') + reason;
    return message;
}

QString cannotWrite(const QString &path)
{
    return text("Cannot write \"%1\". Please check the free disk space and the folder's permissions.")
        .arg(QDir::toNativeSeparators(path));
}

QString cancelled()
{
    return text("The import was cancelled.");
}

} // namespace PageMessages
