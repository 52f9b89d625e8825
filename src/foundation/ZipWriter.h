#pragma once
// Writes a ZIP archive in-process (libzip).
//
// Entries are collected first and written by commit(); the archive is written to a
// temporary file beside the target and renamed over it only when complete, so a
// failed or stopped run leaves an older archive at that path untouched. Files added
// from disk are read at commit() and must exist until then.
//
//   ZipWriter zip(path);
//   zip.addFolderContents(bookFolder);
//   zip.addData("config.js", script, 0644);
//   zip.setStopFlag(&stop);
//   if (!zip.commit()) report(zip.errorString());

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

struct zip;

class ZipWriter
{
public:
    enum class Method { Deflate, Store };

    explicit ZipWriter(const QString &archivePath);
    ~ZipWriter(); // discards an archive that was not committed
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    // Entry names use "/" and are relative; a later entry of the same name replaces
    // an earlier one. Unix permission bits are stored with every entry.
    bool addFile(const QString &entryName, const QString &filePath, Method method = Method::Deflate);
    bool addData(const QString &entryName, const QByteArray &data, uint unixMode = 0644,
                 Method method = Method::Deflate);
    bool addDirectory(const QString &entryName, uint unixMode = 0755);

    // Adds everything below folder (sub-folders as entries too, so empty ones
    // survive), under prefix ("" or "name/"). Linked files are stored by content;
    // linked folders and special files are left out. Names beginning with "." are
    // left out unless withHiddenFiles.
    bool addFolderContents(const QString &folder, const QString &prefix = QString(),
                           bool withHiddenFiles = true);

    // Called during commit() with the part written so far (0 to 1).
    void setProgressHandler(std::function<void(double)> handler);
    // When the flag becomes true, adding and commit() stop and fail.
    void setStopFlag(const std::atomic_bool *stop);

    int entryCount() const { return m_entries; }

    // Writes the archive. An archive without entries is written as an empty archive.
    bool commit();
    // Forgets the entries; the target is not touched.
    void discard();

    bool wasStopped() const;
    QString errorString() const { return m_error; }

private:
    bool ensureOpen();
    int64_t addSource(const QString &entryName, struct zip_source *source, uint mode, Method method);
    bool fail(const QString &message);
    bool stopRequested() const { return m_stop && m_stop->load(); }

    QString m_path;
    struct zip *m_zip = nullptr;
    QList<QByteArray> m_buffers; // memory entries stay alive until commit()
    std::function<void(double)> m_progress;
    const std::atomic_bool *m_stop = nullptr;
    int m_entries = 0;
    bool m_failed = false;
    QString m_error;
};
