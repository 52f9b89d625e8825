#pragma once
// File work of the output engine. Every function throws WorkerException with a
// message for the user when it fails, and WorkerException::cancelled("Cancel
// publish!") when the stop flag is set.

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace OutputFiles {

// The reason a stopped job ends with.
QString cancelReason();

// Throws the cancellation when *stop is set (a null flag never stops).
void checkStop(const std::atomic_bool *stop);

[[noreturn]] void fail(const QString &message);

void makeFolder(const QString &path);
// Copies a file byte for byte; to must not exist yet (unless a FolderUpdate covers it).
// The file is read as SafeFiles::SourceFile reads it (home: the folder it is named in):
// a link leading out of its folder, a special file or a file with more than one name
// fails the job with the reason.
void copyFile(const QString &from, const QString &to, const std::atomic_bool *stop);
// Writes the bytes make() makes of the file `from` as the file `to`, marked with
// from's time of change; a FolderUpdate keeps a `to` that has that mark already (and
// make() is not called then).
void writeDerived(const QString &from, const QString &to, const std::function<QByteArray()> &make,
                  const std::atomic_bool *stop);
// How copyFolder puts files in place: copies of their bytes, or hard links to the
// same files where the file system allows one (copies elsewhere). Links only suit
// files nobody changes in either place.
enum class FileCopy { Bytes, LinkWhereAble };
// Copies everything below from into to (made when missing); symbolic links, special
// files and files with more than one name (SafeFiles) are left out, the last named in
// the log, and names starting with "." unless withHidden.
// exceptTopLevel names entries at the top of from that are not copied.
void copyFolder(const QString &from, const QString &to, const std::atomic_bool *stop, bool withHidden = false,
                const QStringList &exceptTopLevel = {}, FileCopy how = FileCopy::Bytes);
// Writes text as UTF-8 (without byte-order mark).
void writeText(const QString &path, const QString &text);
QString readText(const QString &path);

// A relative path as a URL path: each part percent-encoded except letters, digits
// and "-._~!$&'()*+,;=:@".
QString urlPath(const QString &relativePath);

// text escaped for HTML element text and double- or single-quoted attributes.
QString escapeHtml(const QString &text);

// Whether two files hold the same bytes (false when either cannot be read). The
// answer is remembered for as long as neither file changes.
bool sameBytes(const QString &a, const QString &b);

// Whether a file is a picture the viewer shows: JPEG, PNG, GIF, WebP, BMP or ICO by its
// content (whatever its name says) with a header that reads as one, or an SVG drawing that
// carries no script (isScriptFreeSvg). Only such files are copied into a book as
// pictures, so no other file of the user's can travel with it under a picture's name.
bool isPicture(const QString &path);
// Whether an SVG file is a plain drawing: well-formed, no document type declaration,
// no script or foreign content, no event handler attributes and no links other than
// to its own parts or to embedded pictures. A browser opening it runs nothing.
bool isScriptFreeSvg(const QString &path);
// Whether a file is a Flash movie, by its signature.
bool isMovie(const QString &path);

// The suffix a copy of the file gets: its own in lower case when it is a plain
// short suffix, else fallback.
QString suffixFor(const QString &path, const QString &fallback);

// Writing a book over the older one in the same folder (the live preview). While an
// object of this class lives, the file work of its thread below the folder keeps a
// file that is there already and the same: a copy with its source's size and time
// of change, a text with the same bytes. Other files are written beside their old
// version and renamed over it, so a reader of the folder sees the old file or the new
// one, never half of one. removeOthers() then deletes what the new book lacks.
class FolderUpdate
{
public:
    explicit FolderUpdate(const QString &folder);
    ~FolderUpdate();
    FolderUpdate(const FolderUpdate &) = delete;
    FolderUpdate &operator=(const FolderUpdate &) = delete;

    // The update of this thread, or null.
    static FolderUpdate *current();
    bool covers(const QString &path) const;
    // Records that path belongs to the new book (written now when `written`).
    void note(const QString &path, bool written);

    // Deletes the files below the named entries of the folder that belong to no book
    // any more: neither written nor kept by this update, nor changed while it ran.
    // Folders left empty go too.
    void removeOthers(const QStringList &entries, const std::atomic_bool *stop);

    // Files written (not kept) so far.
    int writtenCount() const { return m_written; }

private:
    QString m_folder;
    QSet<QString> m_files;
    int m_written = 0;
    QDateTime m_started;
    FolderUpdate *m_outer = nullptr;
};

} // namespace OutputFiles
