#include "foundation/ZipExtractor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/stat.h>
#include <zip.h>

namespace {

const QString kMacResourceFolder = QStringLiteral("__MACOSX");

struct Entry
{
    zip_uint64_t index = 0;
    QString relative; // cleaned, "/"-separated, no trailing "/"
    bool isDir = false;
    uint mode = 0;    // permission bits, 0 when the archive stores none
    zip_uint64_t size = 0;
};

// The cleaned relative name, or a null string when the name must be refused.
QString safeRelativeName(QString name)
{
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return {};
    if (name.size() >= 2 && name[1] == QLatin1Char(':')) // "C:..." drive names
        return {};
    QStringList parts;
    for (const QString &part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return {};
        if (part != QLatin1String("."))
            parts << part;
    }
    if (parts.isEmpty())
        return QStringLiteral("."); // the top folder itself
    return parts.join(QLatin1Char('/'));
}

bool isInside(const QString &canonicalRoot, const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty()
        && (canonical == canonicalRoot || canonical.startsWith(canonicalRoot + QLatin1Char('/')));
}

} // namespace

bool ZipExtractor::fail(const QString &message, Refusal refusal, const QString &entry)
{
    m_error = message;
    m_refusal = refusal;
    m_refusedEntry = entry;
    return false;
}

bool ZipExtractor::extractFile(const QString &archivePath, const QString &folder)
{
    m_error.clear();
    m_refusal = Refusal::None;
    m_refusedEntry.clear();
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return fail(QStringLiteral("cannot open %1: %2").arg(archivePath, text));
    }
    const bool ok = extract(archive, folder);
    zip_discard(archive);
    return ok;
}

bool ZipExtractor::extractData(const QByteArray &data, const QString &folder)
{
    m_error.clear();
    m_refusal = Refusal::None;
    m_refusedEntry.clear();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(data.constData(), zip_uint64_t(data.size()), 0, &error);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (!archive) {
        const QString text = QString::fromUtf8(zip_error_strerror(&error));
        if (source)
            zip_source_free(source);
        zip_error_fini(&error);
        return fail(QStringLiteral("not a readable archive: %1").arg(text));
    }
    zip_error_fini(&error);
    const bool ok = extract(archive, folder);
    zip_discard(archive); // also frees the source
    return ok;
}

bool ZipExtractor::checkSize(const QString &entry, qint64 size, qint64 packed, qint64 *total, qint64 *totalPacked)
{
    if (size > m_limits.maxEntryBytes)
        return fail(QStringLiteral("\"%1\" is larger than %2 MB").arg(entry).arg(m_limits.maxEntryBytes >> 20),
                    Refusal::TooLarge, entry);
    *total += size;
    if (*total > m_limits.maxTotalBytes)
        return fail(QStringLiteral("the archive expands to more than %1 MB").arg(m_limits.maxTotalBytes >> 20),
                    Refusal::TooLarge, entry);
    if (size > m_limits.ratioFloorBytes && size / qMax<qint64>(packed, 1) > m_limits.maxRatio)
        return fail(QStringLiteral("\"%1\" expands %2 times: no real file compresses so well")
                        .arg(entry)
                        .arg(size / qMax<qint64>(packed, 1)),
                    Refusal::Bomb, entry);
    // Many entries just below the floor make a bomb as well.
    *totalPacked += packed;
    if (*total > m_limits.ratioFloorBytes && *total / qMax<qint64>(*totalPacked, 1) > m_limits.maxRatio)
        return fail(QStringLiteral("the archive expands %1 times: no real files compress so well")
                        .arg(*total / qMax<qint64>(*totalPacked, 1)),
                    Refusal::Bomb, entry);
    return true;
}

QStringList ZipExtractor::entryNames(const QString &archivePath)
{
    QStringList names;
    zip_t *archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, nullptr);
    if (!archive)
        return names;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char *name = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS))
            names << QString::fromUtf8(name);
    }
    zip_discard(archive);
    return names;
}

bool ZipExtractor::extract(zip_t *archive, const QString &folder)
{
    // 1. Read and check every entry before anything is written.
    QList<Entry> entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count > m_limits.maxEntries)
        return fail(QStringLiteral("the archive holds more than %1 entries").arg(m_limits.maxEntries),
                    Refusal::TooManyEntries);
    qint64 total = 0, totalPacked = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            return fail(QStringLiteral("entry %1 cannot be read").arg(i));
        const QString stored = QString::fromUtf8(st.name);
        const QString relative = safeRelativeName(stored);
        if (relative.isNull())
            return fail(QStringLiteral("refused entry \"%1\": it leads outside the folder").arg(stored),
                        Refusal::LeadsOutside, stored);
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            return fail(QStringLiteral("entry \"%1\" is encrypted").arg(stored), Refusal::Encrypted, stored);
        // The stated sizes, before a byte is written; the bytes written are counted too.
        const qint64 size = (st.valid & ZIP_STAT_SIZE) ? qint64(qMin<zip_uint64_t>(st.size, zip_uint64_t(1) << 62)) : 0;
        const qint64 packed = (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(qMin<zip_uint64_t>(st.comp_size, zip_uint64_t(1) << 62)) : 0;
        if (!checkSize(stored, size, packed, &total, &totalPacked))
            return false;
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        zip_file_get_external_attributes(archive, zip_uint64_t(i), 0, &system, &attributes);
        uint mode = 0;
        bool isDir = stored.endsWith(QLatin1Char('/')) || stored.endsWith(QLatin1Char('\\'));
        if (system == ZIP_OPSYS_UNIX) {
            const uint unixMode = attributes >> 16;
            if ((unixMode & S_IFMT) == S_IFLNK)
                return fail(QStringLiteral("refused entry \"%1\": it is a link").arg(stored), Refusal::Link, stored);
            if ((unixMode & S_IFMT) == S_IFDIR)
                isDir = true;
            mode = unixMode & 0777;
        }
        if (relative == QLatin1String(".")) {
            if (!isDir)
                return fail(QStringLiteral("refused entry \"%1\"").arg(stored), Refusal::LeadsOutside, stored);
            continue;
        }
        if (relative.section(QLatin1Char('/'), 0, 0) == kMacResourceFolder)
            continue;
        entries.append(Entry{zip_uint64_t(i), relative, isDir, mode, zip_uint64_t(size)});
    }

    // 2. The places in the target must take what goes there: no file where a folder
    //    is needed or the reverse, and no folder that leads outside through a link.
    const bool created = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create %1").arg(folder));
    bool done = false;
    const auto removeIfMadeInVain = qScopeGuard([&] {
        if (created && !done)
            QDir().rmdir(folder); // only when still empty
    });
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return fail(QStringLiteral("cannot use %1").arg(folder));
    for (const Entry &entry : std::as_const(entries)) {
        const QStringList parts = entry.relative.split(QLatin1Char('/'));
        QString path = root;
        for (qsizetype p = 0; p < parts.size(); ++p) {
            path += QLatin1Char('/') + parts[p];
            const QFileInfo info(path);
            const bool last = p == parts.size() - 1;
            if (!info.exists() && !info.isSymLink())
                break;
            if (last && !entry.isDir) {
                if (info.isDir() && !info.isSymLink())
                    return fail(QStringLiteral("\"%1\" is a folder in %2").arg(entry.relative, folder));
                continue; // a file (or a link, replaced rather than written through)
            }
            if (!info.isDir())
                return fail(QStringLiteral("\"%1\" is a file in %2").arg(parts.mid(0, p + 1).join(QLatin1Char('/')), folder));
            if (!isInside(root, path))
                return fail(QStringLiteral("\"%1\" leads outside %2").arg(parts.mid(0, p + 1).join(QLatin1Char('/')), folder),
                            Refusal::LeadsOutside, entry.relative);
        }
    }

    // 3. Extract into a staging folder inside the target (same file system, so the
    //    final moves are renames).
    QTemporaryDir staging(root + QStringLiteral("/.unzip-XXXXXX"));
    if (!staging.isValid())
        return fail(QStringLiteral("cannot write into %1").arg(folder));
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    for (const Entry &entry : std::as_const(entries)) {
        if (m_stop && m_stop->load())
            return fail(QStringLiteral("stopped"));
        const QString target = staging.path() + QLatin1Char('/') + entry.relative;
        if (entry.isDir) {
            if (!QDir().mkpath(target))
                return fail(QStringLiteral("cannot create %1").arg(entry.relative));
            continue;
        }
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return fail(QStringLiteral("cannot create the folder of %1").arg(entry.relative));
        zip_file_t *in = zip_fopen_index(archive, entry.index, 0);
        if (!in)
            return fail(QStringLiteral("cannot read \"%1\": %2")
                            .arg(entry.relative, QString::fromUtf8(zip_error_strerror(zip_get_error(archive)))));
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            zip_fclose(in);
            return fail(QStringLiteral("cannot write %1: %2").arg(entry.relative, out.errorString()), Refusal::WriteFailed);
        }
        bool ok = true;
        zip_uint64_t written = 0;
        while (true) {
            const zip_int64_t n = zip_fread(in, buffer.data(), zip_uint64_t(buffer.size()));
            if (n < 0) {
                m_error = QStringLiteral("\"%1\" is damaged: %2")
                              .arg(entry.relative, QString::fromUtf8(zip_error_strerror(zip_file_get_error(in))));
                ok = false;
                break;
            }
            if (n == 0)
                break;
            written += zip_uint64_t(n);
            // An archive that states small sizes and expands beyond them is stopped here.
            if (written > entry.size || qint64(written) > m_limits.maxEntryBytes) {
                out.close();
                zip_fclose(in);
                return fail(QStringLiteral("\"%1\" is larger than the archive says").arg(entry.relative), Refusal::TooLarge,
                            entry.relative);
            }
            if (out.write(buffer.constData(), n) != n) {
                m_error = QStringLiteral("cannot write %1: %2").arg(entry.relative, out.errorString());
                ok = false;
                break;
            }
            if (m_stop && m_stop->load()) {
                m_error = QStringLiteral("stopped");
                ok = false;
                break;
            }
        }
        zip_fclose(in);
        if (ok && written != entry.size) {
            m_error = QStringLiteral("\"%1\" is damaged: it is shorter than recorded").arg(entry.relative);
            ok = false;
        }
        if (ok && !out.flush()) {
            m_error = QStringLiteral("cannot write %1: %2").arg(entry.relative, out.errorString());
            ok = false;
        }
        out.close();
        if (!ok) {
            m_refusal = Refusal::Damaged;
            return false;
        }
        ::chmod(QFile::encodeName(target).constData(), (entry.mode & 0111) ? 0755 : 0644);
    }

    // 4. Move everything into place. Folders are created (or reused), files renamed
    //    over older ones.
    for (const Entry &entry : std::as_const(entries)) {
        const QString source = staging.path() + QLatin1Char('/') + entry.relative;
        const QString target = root + QLatin1Char('/') + entry.relative;
        const QFileInfo targetInfo(target);
        if (entry.isDir) {
            if (!targetInfo.isDir() && !QDir().mkpath(target))
                return fail(QStringLiteral("cannot create %1").arg(entry.relative));
            ::chmod(QFile::encodeName(target).constData(), 0755);
            continue;
        }
        if (!QDir().mkpath(targetInfo.absolutePath()))
            return fail(QStringLiteral("cannot create the folder of %1").arg(entry.relative));
        if (!QFileInfo(source).exists())
            continue; // an earlier entry of the same name was moved already
        if (::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0)
            return fail(QStringLiteral("cannot replace %1").arg(entry.relative));
    }

    const QString macFolder = root + QLatin1Char('/') + kMacResourceFolder;
    if (QFileInfo(macFolder).isDir() && !QFileInfo(macFolder).isSymLink())
        QDir(macFolder).removeRecursively();
    else if (QFileInfo(macFolder).isSymLink())
        QFile::remove(macFolder);
    done = true;
    return true;
}
