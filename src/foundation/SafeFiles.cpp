#include "foundation/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace SafeFiles {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

QString resolvedPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList rest;
    int hops = 0;
    // A dangling link is followed to the path it names, which is then resolved like
    // any other path that does not exist yet.
    while (!QFileInfo::exists(existing) && existing != QLatin1String("/")) {
        const QFileInfo info(existing);
        if (info.isSymLink()) {
            if (++hops > 40)
                return {}; // a circle of links
            existing = QDir::cleanPath(QFileInfo(info.absolutePath(), info.symLinkTarget()).absoluteFilePath());
            continue;
        }
        rest.prepend(info.fileName());
        existing = info.absolutePath();
    }
    QString resolved = QFileInfo(existing).canonicalFilePath();
    if (resolved.isEmpty())
        return {};
    for (const QString &part : std::as_const(rest))
        resolved += (resolved.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + part;
    return resolved;
}

bool liesInside(const QString &path, const QString &folder)
{
    const QString real = resolvedPath(path);
    QString base = resolvedPath(folder);
    if (real.isEmpty() || base.isEmpty())
        return false;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return real.startsWith(base) && real.size() > base.size();
}

QString fileProblem(const QString &path, const QString &folder)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("\"%1\" is missing.").arg(shown(path));
    if (!liesInside(path, folder))
        return QStringLiteral("\"%1\" leads out of \"%2\" through a link.").arg(shown(path), shown(folder));
    if (!info.isFile())
        return QStringLiteral("\"%1\" is no file.").arg(shown(path));
    return {};
}

bool copyFile(const QString &source, const QString &target, QString *error, const QString &home)
{
    const QString folder = home.isEmpty() ? QFileInfo(source).absolutePath() : home;
    if (const QString problem = fileProblem(source, folder); !problem.isEmpty())
        return fail(error, problem);
    const QString from = resolvedPath(source);
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && !targetInfo.isSymLink() && resolvedPath(target) == from)
        return true; // one file: copying would lose it
    if (targetInfo.isDir() && !targetInfo.isSymLink())
        return fail(error, QStringLiteral("\"%1\" is a folder.").arg(shown(target)));
    const QString targetFolder = targetInfo.absolutePath();
    if (!QDir().mkpath(targetFolder))
        return fail(error, QStringLiteral("The folder \"%1\" cannot be made.").arg(shown(targetFolder)));

    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("\"%1\" cannot be read: %2").arg(shown(source), in.errorString()));
    // A new file of our own beside the target (never an existing one, never through a
    // link); it gets the source's permissions.
    QFile out;
    for (int attempt = 0; attempt < 16; ++attempt) {
        out.setFileName(QStringLiteral("%1/.%2.%3.part")
                            .arg(targetFolder, targetInfo.fileName())
                            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        const QFileInfo taken(out.fileName());
        if (out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || !(taken.exists() || taken.isSymLink()))
            break;
    }
    if (!out.isOpen())
        return fail(error, QStringLiteral("\"%1\" cannot be written: %2").arg(shown(target), out.errorString()));
    const auto abandon = [&](const QString &message) {
        out.close();
        QFile::remove(out.fileName());
        return fail(error, message);
    };
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0)
            return abandon(QStringLiteral("\"%1\" cannot be read: %2").arg(shown(source), in.errorString()));
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n)
            return abandon(QStringLiteral("\"%1\" cannot be written: %2").arg(shown(target), out.errorString()));
    }
    if (!out.flush())
        return abandon(QStringLiteral("\"%1\" cannot be written: %2").arg(shown(target), out.errorString()));
    out.setFileTime(QFileInfo(from).lastModified(), QFileDevice::FileModificationTime);
    out.setPermissions(QFile::permissions(from)); // a private file stays private
    out.close();
    // rename() replaces the name itself: a link standing at the target's name goes,
    // what it pointed to stays untouched.
    if (std::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(out.fileName());
        return fail(error, QStringLiteral("\"%1\" cannot be written: %2").arg(shown(target), reason));
    }
    return true;
}

} // namespace SafeFiles
