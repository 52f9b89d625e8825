#include "project/ProjectFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ProjectFiles {

bool isInside(const QString &path, const QString &folder)
{
    if (path.isEmpty() || folder.isEmpty())
        return false;
    const QString relative = QDir(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
                                 .relativeFilePath(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    return relative != QLatin1String("..") && !relative.startsWith(QLatin1String("../"))
        && !QDir::isAbsolutePath(relative);
}

bool isSafeRelativePath(const QString &relative)
{
    if (relative.isEmpty() || QDir::isAbsolutePath(relative) || relative.startsWith(QLatin1Char('/')))
        return false;
    const QStringList steps = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return !steps.isEmpty() && !steps.contains(QStringLiteral(".."));
}

QString freePath(const QString &folder, const QString &name, NameKind kind,
                 const std::function<bool(const QString &)> &taken)
{
    const auto used = [&](const QString &path) { return QFileInfo::exists(path) || (taken && taken(path)); };
    QString path = folder + QLatin1Char('/') + name;
    if (!used(path))
        return path;
    const QFileInfo info(name);
    const QString suffix = kind == NameKind::Folder || info.suffix().isEmpty() || info.completeBaseName().isEmpty()
        ? QString()
        : QLatin1Char('.') + info.suffix();
    const QString base = suffix.isEmpty() ? name : name.left(name.size() - suffix.size());
    for (int n = 2;; ++n) {
        path = folder + QLatin1Char('/') + base + QLatin1Char('-') + QString::number(n) + suffix;
        if (!used(path))
            return path;
    }
}

bool copyFile(const QString &source, const QString &destination, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("\"%1\" cannot be read: %2").arg(source, in.errorString()));
    if (!QDir().mkpath(QFileInfo(destination).absolutePath()))
        return fail(QStringLiteral("The folder of \"%1\" cannot be made.").arg(destination));
    QSaveFile out(destination);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("\"%1\" cannot be written: %2").arg(destination, out.errorString()));
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0)
            return fail(QStringLiteral("\"%1\" cannot be read: %2").arg(source, in.errorString()));
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n)
            return fail(QStringLiteral("\"%1\" cannot be written: %2").arg(destination, out.errorString()));
    }
    if (!out.commit())
        return fail(QStringLiteral("\"%1\" cannot be written: %2").arg(destination, out.errorString()));
    // Keep the picture's own time, as a moved file would; not worth failing the copy for.
    QFile copy(destination);
    if (copy.open(QIODevice::ReadWrite))
        copy.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    return true;
}

} // namespace ProjectFiles
