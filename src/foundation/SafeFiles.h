#pragma once
// The one way the program reads and copies a file that a project, a package, a
// furnishing or a per-user folder names, and the rule for every such file. A file is
// used only when
//   - with every symbolic link on its way followed, it lies inside the folder it
//     belongs to (its home): a link that leads out of that folder is refused, whatever
//     its name says;
//   - it is a regular file (no folder, pipe or device);
//   - it has one name only: a second name (a hard link, as a tar archive unpacked in a
//     home folder makes) may be any file of the user's, wherever it lies. The
//     program's own files (below its resource folder) may have more: installers and
//     the live preview link them.
//
// SourceFile opens a file under the rule without trusting a check made before: from
// its home folder, one folder at a time, following no link on the way, and the rule is
// checked on what was opened. Copies read from that descriptor, so a link swapped in
// after a check is never read.
//
// copyFile writes the copy as a new file in the target's own folder and renames it
// over the target, so the target is either its old self or the complete copy (a link
// at the target's name is replaced, never written through); the copy keeps the
// source's time of change and permissions. It says why when it copies nothing.

#include <QFileDevice>
#include <QString>
#include <QStringList>
#include <ctime>
#include <sys/types.h>

namespace SafeFiles {

// path with every link followed; for a path that does not exist (yet), its nearest
// existing folder resolved and the rest appended. Empty for an empty path.
QString resolvedPath(const QString &path);

// True when path, links followed, lies below folder, links followed (folder itself
// does not count).
bool liesInside(const QString &path, const QString &folder);

// Why the file at path is no file of folder under the rule: "" when it is one;
// otherwise a sentence naming the file (missing, leading out of the folder, no file,
// more than one name, unreadable).
QString fileProblem(const QString &path, const QString &folder);

// True when path, links followed, is a file with more than one name that is not one
// of the program's own: the rule leaves it out.
bool hasOtherNames(const QString &path);

// A file opened for reading under the rule (closed when the object goes).
class SourceFile
{
public:
    // Opens path; home is the folder it must lie in, the folder it is named in when
    // empty.
    explicit SourceFile(const QString &path, const QString &home = QString());
    ~SourceFile();
    SourceFile(const SourceFile &) = delete;
    SourceFile &operator=(const SourceFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why it is not open: a sentence naming the file.
    const QString &problem() const { return m_problem; }
    // Not open because the rule refuses the file (rather than because it is missing
    // or cannot be read).
    bool refusedByRule() const { return m_refusedByRule; }
    qint64 size() const { return m_size; }
    const timespec &modified() const { return m_modified; }
    // Read, write and execute bits (never set-user-id and the like).
    unsigned permissionBits() const { return m_mode & 0777u; }

    // Whether path names this very file (itself, not through a link).
    bool isFileAt(const QString &path) const;

    // Writes the file's bytes, from its start, to the open descriptor out; false with
    // the system's reason.
    bool copyTo(int out, QString *reason) const;

private:
    SourceFile() = default;
    // Opens the entry name of the folder open as dir when it is a regular file,
    // following no link; path names it in messages and home the folder it belongs to.
    // Its names are counted, not judged.
    bool openAt(int dir, const QByteArray &name, const QString &path, const QString &home);
    friend class FolderCopy;

    int m_fd = -1;
    QString m_problem;
    bool m_refusedByRule = false; // not opened by the rule rather than by a failure
    nlink_t m_links = 0;
    qint64 m_size = 0;
    timespec m_modified{};
    unsigned m_mode = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

// Replaces target with a copy of source (see above); home is the folder the source
// must lie in, the source's own folder when empty. Copying a file onto itself changes
// nothing and succeeds. False, with *error, when it copied nothing; the target is then
// as it was.
bool copyFile(const QString &source, const QString &target, QString *error = nullptr, const QString &home = QString());

// Copies the contents of sourceFolder into destinationFolder (made when missing),
// replacing items of the same name there. Names beginning with "." are copied only
// when withHiddenFiles. sourceFolder itself must lie in home (the folder it is named
// in when empty) with its links followed; inside it no link is followed: links,
// special files and files with more than one name are left out, each named in the log
// and in *leftOut. False when sourceFolder is no such folder, lies around
// destinationFolder, or a file or folder cannot be written.
bool copyFolder(const QString &sourceFolder, const QString &destinationFolder, bool withHiddenFiles,
                const QString &home = QString(), QStringList *leftOut = nullptr);

} // namespace SafeFiles
