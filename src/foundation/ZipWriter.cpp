#include "foundation/ZipWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <sys/stat.h>
#include <zip.h>

namespace {

QString zipErrorText(zip_t *archive)
{
    return QString::fromUtf8(zip_error_strerror(zip_get_error(archive)));
}

uint permissionBits(const QFileInfo &info)
{
    struct stat st;
    if (::stat(QFile::encodeName(info.absoluteFilePath()).constData(), &st) == 0)
        return st.st_mode & 07777;
    return info.isDir() ? 0755 : 0644;
}

} // namespace

ZipWriter::ZipWriter(const QString &archivePath)
    : m_path(archivePath)
{
}

ZipWriter::~ZipWriter()
{
    discard();
}

bool ZipWriter::fail(const QString &message)
{
    if (!m_failed)
        m_error = message;
    m_failed = true;
    return false;
}

bool ZipWriter::ensureOpen()
{
    if (m_failed)
        return false;
    if (m_zip)
        return true;
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("cannot create the folder of %1").arg(m_path));
    int code = 0;
    // ZIP_TRUNCATE: an existing archive is ignored and replaced only at commit().
    m_zip = zip_open(QFile::encodeName(m_path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!m_zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return fail(QStringLiteral("cannot create %1: %2").arg(m_path, text));
    }
    return true;
}

zip_int64_t ZipWriter::addSource(const QString &entryName, zip_source_t *source, uint mode, Method method)
{
    const QByteArray name = entryName.toUtf8();
    const zip_int64_t index = zip_file_add(m_zip, name.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
        const QString text = zipErrorText(m_zip);
        zip_source_free(source);
        fail(QStringLiteral("cannot add %1: %2").arg(entryName, text));
        return -1;
    }
    zip_set_file_compression(m_zip, zip_uint64_t(index), method == Method::Store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    zip_file_set_external_attributes(m_zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                     zip_uint32_t((S_IFREG | (mode & 07777)) << 16));
    ++m_entries;
    return index;
}

bool ZipWriter::addFile(const QString &entryName, const QString &filePath, Method method)
{
    if (stopRequested())
        return fail(QStringLiteral("stopped"));
    if (!ensureOpen())
        return false;
    const QFileInfo info(filePath);
    if (!info.isFile() || !info.isReadable())
        return fail(QStringLiteral("cannot read %1").arg(filePath));
    zip_source_t *source = zip_source_file(m_zip, QFile::encodeName(info.absoluteFilePath()).constData(), 0, -1);
    if (!source)
        return fail(QStringLiteral("cannot read %1: %2").arg(filePath, zipErrorText(m_zip)));
    return addSource(entryName, source, permissionBits(info) & 0777, method) >= 0;
}

bool ZipWriter::addData(const QString &entryName, const QByteArray &data, uint unixMode, Method method)
{
    if (stopRequested())
        return fail(QStringLiteral("stopped"));
    if (!ensureOpen())
        return false;
    m_buffers.append(data);
    const QByteArray &kept = m_buffers.last();
    zip_source_t *source = zip_source_buffer(m_zip, kept.constData(), zip_uint64_t(kept.size()), 0);
    if (!source)
        return fail(QStringLiteral("cannot add %1: %2").arg(entryName, zipErrorText(m_zip)));
    const zip_int64_t index = addSource(entryName, source, unixMode, method);
    if (index < 0)
        return false;
    zip_file_set_mtime(m_zip, zip_uint64_t(index), time(nullptr), 0);
    return true;
}

bool ZipWriter::addDirectory(const QString &entryName, uint unixMode)
{
    if (stopRequested())
        return fail(QStringLiteral("stopped"));
    if (!ensureOpen())
        return false;
    QString name = entryName;
    if (!name.endsWith(QLatin1Char('/')))
        name += QLatin1Char('/');
    const QByteArray utf8 = name.toUtf8();
    const zip_int64_t index = zip_dir_add(m_zip, utf8.constData(), ZIP_FL_ENC_UTF_8);
    if (index < 0)
        return fail(QStringLiteral("cannot add %1: %2").arg(name, zipErrorText(m_zip)));
    zip_file_set_external_attributes(m_zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                     zip_uint32_t((S_IFDIR | (unixMode & 07777)) << 16));
    ++m_entries;
    return true;
}

bool ZipWriter::addFolderContents(const QString &folder, const QString &prefix, bool withHiddenFiles)
{
    const QFileInfo root(folder);
    if (!root.isDir())
        return fail(QStringLiteral("%1 is not a folder").arg(folder));
    QDir::Filters filters = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
    if (withHiddenFiles)
        filters |= QDir::Hidden;
    const QFileInfoList entries = QDir(folder).entryInfoList(filters, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (stopRequested())
            return fail(QStringLiteral("stopped"));
        if (!withHiddenFiles && entry.fileName().startsWith(QLatin1Char('.')))
            continue;
        const QString name = prefix + entry.fileName();
        if (entry.isSymLink() && entry.isDir())
            continue;
        if (entry.absoluteFilePath() == QFileInfo(m_path).absoluteFilePath())
            continue; // the archive being replaced, when it lies inside the folder
        if (entry.isDir()) {
            if (!addDirectory(name + QLatin1Char('/'), permissionBits(entry) & 0777)
                || !addFolderContents(entry.absoluteFilePath(), name + QLatin1Char('/'), withHiddenFiles))
                return false;
        } else if (entry.isFile()) {
            if (!addFile(name, entry.absoluteFilePath()))
                return false;
        }
    }
    return !m_failed;
}

void ZipWriter::setProgressHandler(std::function<void(double)> handler)
{
    m_progress = std::move(handler);
}

void ZipWriter::setStopFlag(const std::atomic_bool *stop)
{
    m_stop = stop;
}

bool ZipWriter::wasStopped() const
{
    return stopRequested();
}

bool ZipWriter::commit()
{
    if (m_failed || stopRequested()) {
        discard();
        return m_failed ? false : fail(QStringLiteral("stopped"));
    }
    if (m_entries == 0) {
        // libzip removes an archive without entries instead of writing it; write the
        // end-of-central-directory record of an empty archive ourselves.
        discard();
        QSaveFile file(m_path);
        QByteArray empty("PK\x05\x06", 4);
        empty.append(18, '\0');
        if (!file.open(QIODevice::WriteOnly) || file.write(empty) != empty.size() || !file.commit())
            return fail(QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString()));
        return true;
    }
    if (m_progress) {
        zip_register_progress_callback_with_state(
            m_zip, 0.01,
            [](zip_t *, double fraction, void *self) { static_cast<ZipWriter *>(self)->m_progress(fraction); },
            nullptr, this);
    }
    if (m_stop) {
        zip_register_cancel_callback_with_state(
            m_zip, [](zip_t *, void *self) { return static_cast<ZipWriter *>(self)->stopRequested() ? 1 : 0; },
            nullptr, this);
    }
    if (zip_close(m_zip) != 0) {
        const QString text = stopRequested() ? QStringLiteral("stopped") : zipErrorText(m_zip);
        zip_discard(m_zip);
        m_zip = nullptr;
        m_buffers.clear();
        return fail(QStringLiteral("cannot write %1: %2").arg(m_path, text));
    }
    m_zip = nullptr;
    m_buffers.clear();
    m_entries = 0;
    return true;
}

void ZipWriter::discard()
{
    if (m_zip) {
        zip_discard(m_zip);
        m_zip = nullptr;
    }
    m_buffers.clear();
    m_entries = 0;
}
