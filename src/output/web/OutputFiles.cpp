#include "output/web/OutputFiles.h"

#include "foundation/AppLog.h"
#include "foundation/AppStrings.h"
#include "foundation/SafeFiles.h"
#include "foundation/WorkerException.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace OutputFiles {

QString cancelReason()
{
    return QStringLiteral("Cancel publish!");
}

void checkStop(const std::atomic_bool *stop)
{
    if (stop && stop->load())
        throw WorkerException::cancelled(cancelReason());
}

void fail(const QString &message)
{
    throw WorkerException(message);
}

void makeFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        fail(loadAppString(QStringLiteral("BookOutput-The folder \"%1\" cannot be made."),
                           QStringLiteral("The folder \"%1\" cannot be made."))
                 .arg(QDir::toNativeSeparators(path)));
}

namespace {

thread_local FolderUpdate *t_update = nullptr;

QString absoluteClean(const QString &path)
{
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QFileInfo(path).absoluteFilePath());
}

// What the file system says of a file (its status, straight from the system: this
// runs for every file of a book, on every rebuild of the preview).
struct FileState
{
    bool isFile = false;
    qint64 size = 0;
    timespec modified{}, changed{};
};

FileState fileState(const QString &path)
{
    struct stat st {};
    FileState state;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return state;
    state.isFile = S_ISREG(st.st_mode);
    state.size = st.st_size;
    state.modified = st.st_mtim;
    state.changed = st.st_ctim;
    return state;
}

bool operator==(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

[[noreturn]] void cannotWrite(const QString &path, const QString &reason)
{
    fail(loadAppString(QStringLiteral("BookOutput-The file \"%1\" cannot be written: %2"),
                       QStringLiteral("The file \"%1\" cannot be written: %2"))
             .arg(QDir::toNativeSeparators(path), reason));
}

[[noreturn]] void cannotOpen(const QString &from, const SafeFiles::SourceFile &source)
{
    if (!QFileInfo::exists(from))
        fail(loadAppString(QStringLiteral("BookOutput-The file \"%1\" is missing."),
                           QStringLiteral("The file \"%1\" is missing."))
                 .arg(QDir::toNativeSeparators(from)));
    fail(loadAppString(QStringLiteral("BookOutput-The file \"%1\" cannot be copied: %2"),
                       QStringLiteral("The file \"%1\" cannot be copied: %2"))
             .arg(QDir::toNativeSeparators(from), source.problem()));
}

// Writes the bytes of source (read from the descriptor that was checked) as the new
// file `to`, with the source's permissions.
void copyBytes(const SafeFiles::SourceFile &source, const QString &to)
{
    const int out = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                           mode_t(source.permissionBits()));
    if (out < 0)
        cannotWrite(to, QString::fromLocal8Bit(std::strerror(errno)));
    QString reason;
    const bool copied = source.copyTo(out, &reason);
    if (::close(out) != 0 && copied)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    if (!copied || !reason.isEmpty()) {
        QFile::remove(to);
        cannotWrite(to, reason);
    }
}

// Puts the file written at `written` in the place of `to`.
void replaceWith(const QString &written, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(written).toStdString()),
                            std::filesystem::path(QFile::encodeName(to).toStdString()), error);
    if (error) {
        QFile::remove(written);
        cannotWrite(to, QString::fromLocal8Bit(error.message().c_str()));
    }
}

} // namespace

namespace {

void copyOpened(const SafeFiles::SourceFile &source, const QString &to)
{
    FolderUpdate *update = t_update && t_update->covers(to) ? t_update : nullptr;
    if (!update) {
        copyBytes(source, to);
        return;
    }
    const FileState target = fileState(to);
    if (target.isFile && target.size == source.size() && target.modified == source.modified()) {
        update->note(to, false);
        return;
    }
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    copyBytes(source, part);
    // The copy takes its source's time, by which the next update knows it.
    const timespec times[2] = {{0, UTIME_OMIT}, source.modified()};
    if (::utimensat(AT_FDCWD, QFile::encodeName(part).constData(), times, 0) != 0) {
        QFile::remove(part);
        cannotWrite(to, QString::fromLocal8Bit(std::strerror(errno)));
    }
    replaceWith(part, to);
    update->note(to, true);
}

} // namespace

void copyFile(const QString &from, const QString &to, const std::atomic_bool *stop)
{
    checkStop(stop);
    // Read under the rule of SafeFiles (its home: the folder it is named in), from the
    // descriptor that was checked.
    const SafeFiles::SourceFile source(from);
    if (!source.isOpen())
        cannotOpen(from, source);
    copyOpened(source, to);
}

void writeDerived(const QString &from, const QString &to, const std::function<QByteArray()> &make,
                  const std::atomic_bool *stop)
{
    checkStop(stop);
    const FileState source = fileState(from);
    FolderUpdate *update = t_update && t_update->covers(to) ? t_update : nullptr;
    if (update) {
        const FileState target = fileState(to);
        if (target.isFile && target.modified == source.modified) {
            update->note(to, false);
            return;
        }
    }
    const QByteArray bytes = make();
    const QString part = to + QStringLiteral(".part");
    QFile file(part);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush()) {
        const QString reason = bytes.isEmpty() ? QStringLiteral("no picture") : file.errorString();
        file.remove();
        cannotWrite(to, reason);
    }
    file.close();
    const timespec times[2] = {{0, UTIME_OMIT}, source.modified};
    ::utimensat(AT_FDCWD, QFile::encodeName(part).constData(), times, 0);
    replaceWith(part, to);
    if (update)
        update->note(to, true);
}

void copyFolder(const QString &from, const QString &to, const std::atomic_bool *stop, bool withHidden,
                const QStringList &exceptTopLevel, FileCopy how)
{
    makeFolder(to);
    QDir::Filters filters = QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks;
    if (withHidden)
        filters |= QDir::Hidden;
    const QFileInfoList entries = QDir(from).entryInfoList(filters, QDir::Name);
    for (const QFileInfo &entry : entries) {
        checkStop(stop);
        if (exceptTopLevel.contains(entry.fileName()))
            continue;
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            copyFolder(entry.filePath(), target, stop, withHidden, {}, how);
        } else if (entry.isFile()) {
            std::error_code error;
            if (how == FileCopy::LinkWhereAble) {
                std::filesystem::create_hard_link(std::filesystem::path(QFile::encodeName(entry.filePath()).toStdString()),
                                                  std::filesystem::path(QFile::encodeName(target).toStdString()), error);
                if (!error) {
                    // The link belongs to the new book: an update's clean-up keeps it.
                    if (t_update && t_update->covers(target))
                        t_update->note(target, true);
                    continue;
                }
            }
            // Opened from the folder without following a link; a file the rule
            // refuses (one with more names than this) is left out like a link.
            const SafeFiles::SourceFile source(entry.filePath());
            if (!source.isOpen() && source.refusedByRule()) {
                AppLog::shared().error(QStringLiteral("left out of the book: %1").arg(source.problem()));
                continue;
            }
            if (!source.isOpen())
                cannotOpen(entry.filePath(), source);
            copyOpened(source, target);
        }
    }
}

void writeText(const QString &path, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    FolderUpdate *update = t_update && t_update->covers(path) ? t_update : nullptr;
    if (update) {
        QFile old(path);
        if (old.open(QIODevice::ReadOnly) && old.size() == bytes.size() && old.readAll() == bytes) {
            update->note(path, false);
            return;
        }
        // Written whole beside the old file, then renamed over it; not synced to the
        // disk (a book written again at once matters more than one that survives a
        // power cut).
        const QString part = path + QStringLiteral(".part");
        QFile file(part);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
            const QString reason = file.errorString();
            file.remove();
            cannotWrite(path, reason);
        }
        file.close();
        replaceWith(part, path);
        update->note(path, true);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) < 0 || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        cannotWrite(path, reason);
    }
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(loadAppString(QStringLiteral("BookOutput-The file \"%1\" is missing."),
                           QStringLiteral("The file \"%1\" is missing."))
                 .arg(QDir::toNativeSeparators(path)));
    return QString::fromUtf8(file.readAll());
}

QString urlPath(const QString &relativePath)
{
    QStringList parts = relativePath.split(QLatin1Char('/'));
    for (QString &part : parts)
        part = QString::fromLatin1(QUrl::toPercentEncoding(part, "!$&'()*+,;=:@"));
    return parts.join(QLatin1Char('/'));
}

QString escapeHtml(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

namespace {

bool compareBytes(QFile &first, QFile &second)
{
    if (first.size() == 0)
        return true;
    // Mapped, the pages are compared where the file cache holds them.
    const uchar *x = first.map(0, first.size());
    const uchar *y = second.map(0, second.size());
    if (x && y)
        return std::memcmp(x, y, size_t(first.size())) == 0;
    while (!first.atEnd())
        if (first.read(1 << 16) != second.read(1 << 16))
            return false;
    return true;
}

// A file as it is now: its name, size and times of change.
QByteArray version(const QString &path, const FileState &state)
{
    return QFile::encodeName(path) + '\n' + QByteArray::number(state.size) + '\n'
           + QByteArray::number(qint64(state.modified.tv_sec)) + '.' + QByteArray::number(qint64(state.modified.tv_nsec))
           + '\n' + QByteArray::number(qint64(state.changed.tv_sec)) + '.'
           + QByteArray::number(qint64(state.changed.tv_nsec));
}

} // namespace

bool sameBytes(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const FileState stateA = fileState(a), stateB = fileState(b);
    if (!stateA.isFile || !stateB.isFile || stateA.size != stateB.size)
        return false;
    if (a == b)
        return true;
    // The answer for two files that have not changed since is remembered: a book
    // written again and again (the live preview) compares its pictures once.
    static QMutex mutex;
    static QHash<QByteArray, bool> known;
    const QByteArray key = version(a, stateA) + '\n' + version(b, stateB);
    {
        QMutexLocker lock(&mutex);
        if (const auto it = known.constFind(key); it != known.cend())
            return *it;
    }
    QFile first(a), second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    const bool same = compareBytes(first, second);
    QMutexLocker lock(&mutex);
    if (known.size() > 20000)
        known.clear();
    known.insert(key, same);
    return same;
}

bool isPicture(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    if (info.suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0)
        return isScriptFreeSvg(path);
    static const QList<QByteArray> shown{"jpeg", "png", "gif", "webp", "bmp", "ico"};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return shown.contains(reader.format()) && reader.canRead() && reader.size().isValid();
}

bool isScriptFreeSvg(const QString &path)
{
    // Larger drawings than this are not logos or backgrounds.
    constexpr qint64 kMaxSvgBytes = 8 << 20;
    constexpr int kMaxSvgNesting = 256;
    QFile file(path);
    if (file.size() > kMaxSvgBytes || !file.open(QIODevice::ReadOnly))
        return false;
    static const QStringList refused{QStringLiteral("script"),  QStringLiteral("foreignobject"),
                                     QStringLiteral("iframe"),  QStringLiteral("object"),
                                     QStringLiteral("embed"),   QStringLiteral("handler"),
                                     QStringLiteral("listener")};
    static const QRegularExpression picture(QStringLiteral("^data:image/(png|jpeg|gif|webp);"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression blanks(QStringLiteral("[\\x00-\\x20]+"));
    QXmlStreamReader reader(&file);
    int depth = 0;
    bool sawRoot = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return false;
        case QXmlStreamReader::StartElement: {
            if (++depth > kMaxSvgNesting)
                return false;
            const QString name = reader.name().toString().toLower();
            if (depth == 1 && name != QLatin1String("svg"))
                return false;
            sawRoot = true;
            if (refused.contains(name))
                return false;
            for (const QXmlStreamAttribute &a : reader.attributes()) {
                const QString attribute = a.name().toString().toLower();
                const QString value = a.value().toString().remove(blanks);
                if (attribute.startsWith(QLatin1String("on")))
                    return false;
                if (attribute == QLatin1String("href") && !value.startsWith(QLatin1Char('#'))
                    && !picture.match(value).hasMatch())
                    return false;
                // An animation may set a link to an address of its own.
                if (attribute == QLatin1String("attributename") && value.toLower().endsWith(QLatin1String("href")))
                    return false;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return sawRoot && !reader.hasError();
}

bool isMovie(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(3);
    return head == "FWS" || head == "CWS" || head == "ZWS";
}

QString suffixFor(const QString &path, const QString &fallback)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]{1,5}$"));
    const QString suffix = QFileInfo(path).suffix().toLower();
    return plain.match(suffix).hasMatch() ? suffix : fallback;
}

FolderUpdate::FolderUpdate(const QString &folder)
    : m_folder(absoluteClean(folder)), m_started(QDateTime::currentDateTimeUtc()),
      m_outer(t_update)
{
    t_update = this;
}

FolderUpdate::~FolderUpdate()
{
    t_update = m_outer;
}

FolderUpdate *FolderUpdate::current()
{
    return t_update;
}

bool FolderUpdate::covers(const QString &path) const
{
    return absoluteClean(path).startsWith(m_folder + QLatin1Char('/'));
}

void FolderUpdate::note(const QString &path, bool written)
{
    m_files.insert(absoluteClean(path));
    if (written)
        ++m_written;
}

void FolderUpdate::removeOthers(const QStringList &entries, const std::atomic_bool *stop)
{
    // Changed while the update ran: written by a step that does its own file work. Its
    // status changed then, whereas its time of change may be its source's (a copy that
    // keeps it, a link).
    const auto isNew = [this](const QFileInfo &info) { return info.metadataChangeTime().toUTC() >= m_started; };
    for (const QString &entry : entries) {
        const QFileInfo top(m_folder + QLatin1Char('/') + entry);
        if (top.isFile() || top.isSymLink()) {
            if (!m_files.contains(top.absoluteFilePath()) && !isNew(top))
                QFile::remove(top.absoluteFilePath());
            continue;
        }
        if (!top.isDir())
            continue;
        QStringList folders{top.absoluteFilePath()};
        QDirIterator it(top.absoluteFilePath(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            checkStop(stop);
            const QFileInfo info(it.next());
            if (info.isDir() && !info.isSymLink())
                folders << info.absoluteFilePath();
            else if (!m_files.contains(QDir::cleanPath(info.absoluteFilePath())) && !isNew(info))
                QFile::remove(info.absoluteFilePath());
        }
        // Deepest first, so a folder emptied by its sub-folders' removal goes too.
        std::sort(folders.begin(), folders.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
        for (const QString &folder : std::as_const(folders))
            QDir().rmdir(folder); // fails, as it should, unless empty
    }
}

} // namespace OutputFiles
