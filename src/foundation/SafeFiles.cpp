#include "foundation/SafeFiles.h"

#include "foundation/AppLog.h"
#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"
#include "foundation/InputLimits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString missing(const QString &path)
{
    return QStringLiteral("\"%1\" is missing.").arg(shown(path));
}

QString leadsOut(const QString &path, const QString &folder)
{
    return QStringLiteral("\"%1\" leads out of \"%2\" through a link.").arg(shown(path), shown(folder));
}

QString noFile(const QString &path)
{
    return QStringLiteral("\"%1\" is no file.").arg(shown(path));
}

QString otherNames(const QString &path, const QString &folder)
{
    return QStringLiteral("\"%1\" has more than one name (a hard link), and another may lie outside \"%2\".")
        .arg(shown(path), shown(folder));
}

QString unreadable(const QString &path, int error)
{
    return QStringLiteral("\"%1\" cannot be read: %2").arg(shown(path), systemReason(error));
}

// A descriptor closed when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    // Takes fd in place of the one held; errno stays as it was.
    void reset(int fd = -1)
    {
        const int saved = errno;
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
        errno = saved;
    }

private:
    int m_fd;
};

// True when real lies below base (both resolved).
bool below(const QString &real, const QString &base)
{
    const QString prefix = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
    return real.startsWith(prefix) && real.size() > prefix.size();
}

// The steps from base down to real (resolved, below base).
QStringList stepsBelow(const QString &real, const QString &base)
{
    const qsizetype skip = base.endsWith(QLatin1Char('/')) ? base.size() : base.size() + 1;
    return real.mid(skip).split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

// Whether a resolved path is one of the program's own files or folders.
bool isProgramFile(const QString &real)
{
    const QString resources = resolvedPath(AppResources::resourcePath());
    return !resources.isEmpty() && (real == resources || below(real, resources));
}

// Opens the folder reached from base by steps, one folder at a time and following no
// link; the last one with flags (the way there only to be passed). -1 with errno.
int openFolderBelow(const QString &base, const QStringList &steps, int flags)
{
    const int way = O_PATH | O_DIRECTORY | O_CLOEXEC;
    Descriptor folder(::open(QFile::encodeName(base).constData(), steps.isEmpty() ? flags | O_DIRECTORY | O_CLOEXEC : way));
    for (qsizetype i = 0; i < steps.size() && folder.get() >= 0; ++i) {
        const bool last = i + 1 == steps.size();
        folder.reset(::openat(folder.get(), QFile::encodeName(steps.at(i)).constData(),
                              (last ? flags | O_DIRECTORY | O_CLOEXEC : way) | O_NOFOLLOW));
    }
    return folder.release();
}

// Why opening a way failed, as the rule puts it.
QString openProblem(int error, const QString &path, const QString &folder)
{
    if (error == ELOOP || error == ENOTDIR)
        return leadsOut(path, folder); // a link stood where a folder or the file was
    if (error == ENOENT)
        return missing(path);
    return unreadable(path, error);
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
    const QString base = resolvedPath(folder);
    return !real.isEmpty() && !base.isEmpty() && below(real, base);
}

QString fileProblem(const QString &path, const QString &folder)
{
    return SourceFile(path, folder).problem();
}

bool hasOtherNames(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink > 1
           && !isProgramFile(resolvedPath(path));
}

SourceFile::SourceFile(const QString &path, const QString &home)
{
    const QString folder = home.isEmpty() ? QFileInfo(path).absolutePath() : home;
    if (!QFileInfo::exists(path)) {
        m_problem = missing(path);
        return;
    }
    const QString base = resolvedPath(folder);
    const QString real = resolvedPath(path);
    if (base.isEmpty() || real.isEmpty() || !below(real, base)) {
        m_problem = leadsOut(path, folder);
        m_refusedByRule = true;
        return;
    }
    QStringList steps = stepsBelow(real, base);
    const QByteArray name = QFile::encodeName(steps.takeLast());
    const Descriptor parent(openFolderBelow(base, steps, O_PATH));
    if (parent.get() < 0) {
        const int error = errno;
        m_problem = openProblem(error, path, folder);
        m_refusedByRule = error == ELOOP || error == ENOTDIR;
        return;
    }
    if (openAt(parent.get(), name, path, folder) && m_links > 1 && !isProgramFile(real)) {
        ::close(std::exchange(m_fd, -1));
        m_problem = otherNames(path, folder);
        m_refusedByRule = true;
    }
}

SourceFile::~SourceFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SourceFile::openAt(int dir, const QByteArray &name, const QString &path, const QString &home)
{
    const auto refuse = [this](const QString &problem, bool byRule) {
        m_problem = problem;
        m_refusedByRule = byRule;
        return false;
    };
    // Looked at before it is opened: opening a device or a pipe may do more than read.
    struct stat before {};
    if (::fstatat(dir, name.constData(), &before, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        return refuse(error == ENOENT ? missing(path) : unreadable(path, error), false);
    }
    if (S_ISLNK(before.st_mode))
        return refuse(leadsOut(path, home), true);
    if (!S_ISREG(before.st_mode))
        return refuse(noFile(path), true);
    const int fd = ::openat(dir, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return refuse(openProblem(error, path, home), error == ELOOP);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(noFile(path), true);
    }
    m_fd = fd;
    m_size = st.st_size;
    m_modified = st.st_mtim;
    m_mode = st.st_mode;
    m_device = st.st_dev;
    m_inode = st.st_ino;
    m_links = st.st_nlink;
    return true;
}

bool SourceFile::isFileAt(const QString &path) const
{
    struct stat st {};
    return m_fd >= 0 && ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode)
           && st.st_dev == m_device && st.st_ino == m_inode;
}

bool SourceFile::copyTo(int out, QString *reason) const
{
    // The kernel moves the bytes where it can; a read and write loop does elsewhere.
    loff_t offset = 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(m_fd, &offset, out, nullptr, size_t(1) << 30, 0);
        if (n == 0 && offset >= m_size)
            return true;
        if (n == 0 || (n < 0 && errno != EINTR))
            break; // not on these file systems: copied below from where it stopped
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::pread(m_fd, buffer.data(), size_t(buffer.size()), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(reason, QStringLiteral("reading: %1").arg(systemReason(errno)));
        if (n == 0)
            return true;
        offset += n;
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(out, buffer.constData() + written, size_t(n - written));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0)
                return fail(reason, systemReason(errno));
            written += w;
        }
    }
}

namespace {

// Writes a copy of file as target: a new file beside it (never an existing one,
// never through a link) renamed over it, with the file's time of change and
// permissions. shownSource names the file in messages.
bool writeCopy(const SourceFile &file, const QString &shownSource, const QString &target, QString *error)
{
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir() && !targetInfo.isSymLink())
        return fail(error, QStringLiteral("\"%1\" is a folder.").arg(shown(target)));
    const QString targetFolder = targetInfo.absolutePath();
    if (!QDir().mkpath(targetFolder))
        return fail(error, QStringLiteral("The folder \"%1\" cannot be made.").arg(shown(targetFolder)));
    QFile out;
    for (int attempt = 0; attempt < 16; ++attempt) {
        out.setFileName(QStringLiteral("%1/.%2.%3.part")
                            .arg(targetFolder, targetInfo.fileName())
                            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        const QFileInfo taken(out.fileName());
        if (out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)
            || !(taken.exists() || taken.isSymLink()))
            break;
    }
    if (!out.isOpen())
        return fail(error, QStringLiteral("\"%1\" cannot be written: %2").arg(shown(target), out.errorString()));
    const auto abandon = [&](const QString &message) {
        out.close();
        QFile::remove(out.fileName());
        return fail(error, message);
    };
    QString reason;
    if (!file.copyTo(out.handle(), &reason))
        return abandon(QStringLiteral("\"%1\" cannot be copied to \"%2\": %3").arg(shown(shownSource), shown(target), reason));
    const timespec times[2] = {{0, UTIME_OMIT}, file.modified()};
    ::futimens(out.handle(), times);
    ::fchmod(out.handle(), file.permissionBits()); // a private file stays private
    out.close();
    // rename() replaces the name itself: a link standing at the target's name goes,
    // what it pointed to stays untouched.
    if (std::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        const QString why = systemReason(errno);
        QFile::remove(out.fileName());
        return fail(error, QStringLiteral("\"%1\" cannot be written: %2").arg(shown(target), why));
    }
    return true;
}

} // namespace

bool copyFile(const QString &source, const QString &target, QString *error, const QString &home)
{
    const SourceFile file(source, home);
    if (!file.isOpen())
        return fail(error, file.problem());
    if (file.isFileAt(target))
        return true; // one file: copying would lose it
    return writeCopy(file, source, target, error);
}

// The walk of copyFolder: every folder and file is opened from the folder holding it,
// following no link.
class FolderCopy
{
public:
    FolderCopy(bool withHidden, const QString &home, bool programFiles, QStringList *leftOut)
        : m_withHidden(withHidden), m_home(home), m_programFiles(programFiles), m_leftOut(leftOut)
    {
    }

    // Copies the contents of the folder open as dir (named folder) into target.
    bool copy(int dir, const QString &folder, const QString &target, int depth)
    {
        if (!QDir().mkpath(target))
            return false;
        QStringList names;
        {
            DIR *listing = ::fdopendir(::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!listing)
                return false;
            while (const dirent *entry = ::readdir(listing)) {
                const QString name = QFile::decodeName(entry->d_name);
                if (name != QLatin1String(".") && name != QLatin1String(".."))
                    names << name;
            }
            ::closedir(listing);
        }
        names.sort();
        bool ok = true;
        for (const QString &name : std::as_const(names)) {
            if (!m_withHidden && name.startsWith(QLatin1Char('.')))
                continue;
            const QByteArray encoded = QFile::encodeName(name);
            const QString path = folder + QLatin1Char('/') + name;
            const QString to = target + QLatin1Char('/') + name;
            const QFileInfo targetInfo(to);
            struct stat st {};
            if (::fstatat(dir, encoded.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT) // gone since the listing: nothing to copy
                    ok = false;
                continue;
            }
            if (S_ISLNK(st.st_mode)) {
                leaveOut(QStringLiteral("\"%1\" is a link; it is left out.").arg(shown(path)));
            } else if (S_ISDIR(st.st_mode)) {
                if (depth >= InputLimits::kMaxNesting) {
                    leaveOut(QStringLiteral("\"%1\" is %2; it is left out.").arg(shown(path), InputLimits::nestedTooDeep()));
                    continue;
                }
                const Descriptor sub(::openat(dir, encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
                if (sub.get() < 0) {
                    if (errno == ELOOP || errno == ENOTDIR)
                        leaveOut(QStringLiteral("\"%1\" is a link; it is left out.").arg(shown(path)));
                    else
                        ok = false;
                    continue;
                }
                if ((targetInfo.exists() && !targetInfo.isDir()) || targetInfo.isSymLink())
                    QFile::remove(to);
                ok = copy(sub.get(), path, to, depth + 1) && ok;
            } else if (S_ISREG(st.st_mode)) {
                SourceFile file;
                if (!file.openAt(dir, encoded, path, m_home)) {
                    if (file.refusedByRule())
                        leaveOut(file.problem() + QStringLiteral(" It is left out."));
                    else
                        ok = false;
                    continue;
                }
                if (file.m_links > 1 && !m_programFiles) {
                    leaveOut(otherNames(path, m_home) + QStringLiteral(" It is left out."));
                    continue;
                }
                if (targetInfo.isDir() && !targetInfo.isSymLink())
                    removeTree(to);
                QString error;
                if (!writeCopy(file, path, to, &error)) {
                    AppLog::shared().error(error);
                    ok = false;
                }
            } else {
                leaveOut(noFile(path) + QStringLiteral(" It is left out."));
            }
        }
        return ok;
    }

private:
    void leaveOut(const QString &message)
    {
        AppLog::shared().error(message);
        if (m_leftOut)
            m_leftOut->append(message);
    }

    bool m_withHidden;
    QString m_home;
    bool m_programFiles;
    QStringList *m_leftOut;
};

bool copyFolder(const QString &sourceFolder, const QString &destinationFolder, bool withHiddenFiles, const QString &home,
                QStringList *leftOut)
{
    const QFileInfo source(sourceFolder);
    if (!source.isDir())
        return false;
    const QString folder = home.isEmpty() ? source.absolutePath() : home;
    const QString base = resolvedPath(folder);
    const QString real = resolvedPath(sourceFolder);
    if (base.isEmpty() || real.isEmpty() || !below(real, base)) {
        const QString message = leadsOut(sourceFolder, folder) + QStringLiteral(" It is left out.");
        AppLog::shared().error(message);
        if (leftOut)
            leftOut->append(message);
        return false;
    }
    // Copying a folder into itself would never end.
    const QString target = resolvedPath(destinationFolder);
    if (target == real || below(target, real))
        return false;
    const Descriptor top(openFolderBelow(base, stepsBelow(real, base), O_RDONLY));
    if (top.get() < 0) {
        const int error = errno;
        const QString message = openProblem(error, sourceFolder, folder);
        AppLog::shared().error(message);
        if (leftOut && (error == ELOOP || error == ENOTDIR))
            leftOut->append(message);
        return false;
    }
    FolderCopy copy(withHiddenFiles, folder, isProgramFile(real), leftOut);
    return copy.copy(top.get(), QDir::cleanPath(source.absoluteFilePath()), destinationFolder, 0);
}

} // namespace SafeFiles
