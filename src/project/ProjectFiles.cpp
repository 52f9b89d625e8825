#include "project/ProjectFiles.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace ProjectFiles
