#include "publishing/PublishBackup.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Copies the item at from (file, folder or symbolic link) to to, keeping the
// permission bits and link texts. to must not exist.
bool copyItem(const QString &from, const QString &to, QString *error)
{
    const QByteArray source = QFile::encodeName(from);
    struct stat st;
    if (::lstat(source.constData(), &st) != 0) {
        *error = errnoText(errno);
        return false;
    }
    const QByteArray target = QFile::encodeName(to);
    if (S_ISLNK(st.st_mode)) {
        QByteArray link(qMax<qsizetype>(st.st_size, 255) + 1, '\0');
        const ssize_t length = ::readlink(source.constData(), link.data(), size_t(link.size()));
        if (length < 0 || ::symlink(QByteArray(link.constData(), length).constData(), target.constData()) != 0) {
            *error = errnoText(errno);
            return false;
        }
        return true;
    }
    if (S_ISDIR(st.st_mode)) {
        if (::mkdir(target.constData(), S_IRWXU) != 0) {
            *error = errnoText(errno);
            return false;
        }
        const QStringList children
            = QDir(from).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QString &child : children) {
            if (!copyItem(from + QLatin1Char('/') + child, to + QLatin1Char('/') + child, error))
                return false;
        }
        // Last, so a read-only folder could still be filled.
        ::chmod(target.constData(), st.st_mode & 07777);
        return true;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = loadAppString(QStringLiteral("PublishBackup-\"%1\" is not a file or folder."),
                               QStringLiteral("\"%1\" is not a file or folder."))
                     .arg(from);
        return false;
    }
    QFile file(from);
    if (!file.copy(to)) {
        *error = file.errorString();
        return false;
    }
    ::chmod(target.constData(), st.st_mode & 07777);
    return true;
}

} // namespace

PublishBackup::PublishBackup() : m_rename(&PublishBackup::systemRename) { }

int PublishBackup::systemRename(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
}

bool PublishBackup::pathExists(const QString &path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool PublishBackup::moveItem(const QString &from, const QString &to, const RenameFunction &rename, QString *error,
                             bool *copiedButNotDeleted)
{
    QString reason;
    if (copiedButNotDeleted)
        *copiedButNotDeleted = false;
    const int result = rename ? rename(from, to) : systemRename(from, to);
    if (result == 0)
        return true;
    if (result != EXDEV) {
        if (error)
            *error = errnoText(result);
        return false;
    }
    // Another file system: copy, then delete the original.
    if (!copyItem(from, to, &reason)) {
        removeTree(to);
        if (error)
            *error = reason;
        return false;
    }
    if (!removeTree(from)) {
        if (copiedButNotDeleted)
            *copiedButNotDeleted = true;
        if (error)
            *error = loadAppString(QStringLiteral("PublishBackup-\"%1\" was copied but could not be deleted."),
                                   QStringLiteral("\"%1\" was copied but could not be deleted."))
                         .arg(from);
        return false;
    }
    return true;
}

bool PublishBackup::prepare()
{
    m_entries.clear();
    if (!m_keepFolder && !m_folder.isEmpty() && QFileInfo(m_folder).isDir()) {
        if (removeTree(m_folder) && QDir().mkpath(m_folder))
            return true;
    }
    // First run, a kept folder, or one that could not be emptied: a new folder.
    m_keepFolder = false;
    m_folder = createUniqueTempFolder();
    return !m_folder.isEmpty();
}

QString PublishBackup::freeBackupPath(const QString &original) const
{
    const QString name = QFileInfo(original).fileName();
    QString candidate = m_folder + QLatin1Char('/') + name;
    for (int n = 2; pathExists(candidate); ++n)
        candidate = m_folder + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(n);
    return candidate;
}

bool PublishBackup::moveAside(const QString &path, QString *error)
{
    if (m_folder.isEmpty() || !QFileInfo(m_folder).isDir()) {
        if (error)
            *error = loadAppString(QStringLiteral("PublishBackup-No temporary folder could be made."),
                                   QStringLiteral("No temporary folder could be made."));
        return false;
    }
    const QString backup = freeBackupPath(path);
    bool copiedOnly = false;
    if (moveItem(path, backup, m_rename, error, &copiedOnly)) {
        m_entries.insert(path, backup);
        return true;
    }
    if (copiedOnly)
        m_entries.insert(path, backup);
    return false;
}

bool PublishBackup::putBack(const QString &original, const QString &backup, QString *error)
{
    if (!pathExists(backup))
        return true; // nothing to put back, and nothing at the original path is touched
    if (pathExists(original) && !removeTree(original)) {
        if (error)
            *error = loadAppString(QStringLiteral("PublishBackup-\"%1\" could not be deleted."),
                                   QStringLiteral("\"%1\" could not be deleted."))
                         .arg(original);
        return false;
    }
    bool copiedOnly = false;
    if (moveItem(backup, original, m_rename, error, &copiedOnly))
        return true;
    // A complete copy is back in place; only the spare in the folder is left over.
    return copiedOnly;
}

QList<PublishBackup::Failure> PublishBackup::restoreAll()
{
    QList<Failure> failures;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        QString reason;
        if (!putBack(it.key(), it.value(), &reason))
            failures << Failure {it.key(), it.value(), reason};
    }
    m_entries.clear();
    if (!failures.isEmpty())
        m_keepFolder = true;
    return failures;
}

QList<PublishBackup::Failure> PublishBackup::settleAfterSuccess()
{
    QList<Failure> failures;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (pathExists(it.key()))
            continue; // replaced by the new book
        QString reason;
        if (!putBack(it.key(), it.value(), &reason))
            failures << Failure {it.key(), it.value(), reason};
    }
    m_entries.clear();
    if (!failures.isEmpty())
        m_keepFolder = true;
    removeFolder();
    return failures;
}

void PublishBackup::removeFolder()
{
    if (m_keepFolder || m_folder.isEmpty())
        return;
    removeTree(m_folder);
    m_folder.clear();
}
