#pragma once
// Extracts a ZIP archive (from a file or from memory) into a folder, in-process.
//
// Archives come from the network and from other people, so extraction never writes
// outside the target folder: an archive holding an absolute name, a ".." part, a
// link entry or an encrypted entry is refused as a whole, and a folder inside the
// target that is a link leading outside it is never written through.
// Entries are first extracted into a staging folder inside the target and only
// moved into place when every entry came out intact, so a refused, damaged or stopped
// archive leaves the target as it was. Existing files of the same name are replaced.
// Files are written with mode 0755 when the archive marks them executable, else
// 0644, and folders with 0755: no archive makes a file writable by others.
//
// An archive is refused before anything is written when it would grow beyond the
// limits (setLimits): too many entries, an entry or all of them together too large,
// or an entry that expands more than a real file compresses (a "ZIP bomb"). The
// sizes the archive states are checked first and the bytes really written are
// counted as well. Entries under
// "__MACOSX/" (resource-fork copies made by macOS) are left out, and a "__MACOSX"
// folder at the top of the target is removed.

#include <QByteArray>
#include <QtGlobal>
#include <QString>
#include <QStringList>
#include <atomic>

struct zip;

class ZipExtractor
{
public:
    struct Limits
    {
        qint64 maxEntries = 100000;
        qint64 maxEntryBytes = qint64(1) << 30;
        qint64 maxTotalBytes = qint64(2) << 30;
        // Expanded size per compressed byte, for entries above ratioFloorBytes and for
        // the archive as a whole once it expands to more than ratioFloorBytes.
        qint64 maxRatio = 200;
        qint64 ratioFloorBytes = qint64(1) << 20;
    };
    // Why an archive was refused (None when it was not; Damaged and WriteFailed for
    // archives that could not be read or written).
    enum class Refusal { None, LeadsOutside, Link, Encrypted, TooManyEntries, TooLarge, Bomb, Damaged, WriteFailed };

    void setLimits(const Limits &limits) { m_limits = limits; }
    Limits limits() const { return m_limits; }

    // When the flag becomes true, extraction stops and fails (nothing moved into place).
    void setStopFlag(const std::atomic_bool *stop) { m_stop = stop; }

    bool extractFile(const QString &archivePath, const QString &folder);
    bool extractData(const QByteArray &archive, const QString &folder);

    // Names of the archive's entries ("/"-separated, as stored; empty on error).
    static QStringList entryNames(const QString &archivePath);

    QString errorString() const { return m_error; }
    Refusal refusal() const { return m_refusal; }
    // The entry that was refused, as the archive names it.
    QString refusedEntry() const { return m_refusedEntry; }

private:
    bool extract(struct zip *archive, const QString &folder);
    // Checks an entry's stated size against the limits and adds it to *total.
    bool checkSize(const QString &entry, qint64 size, qint64 packed, qint64 *total, qint64 *totalPacked);
    bool fail(const QString &message, Refusal refusal = Refusal::Damaged, const QString &entry = QString());

    const std::atomic_bool *m_stop = nullptr;
    Limits m_limits;
    QString m_error;
    Refusal m_refusal = Refusal::None;
    QString m_refusedEntry;
};
