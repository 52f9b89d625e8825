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
// Permission bits stored with an entry are kept (executable files stay executable),
// but the owner can always read and write what is extracted. Entries under
// "__MACOSX/" (resource-fork copies made by macOS) are left out, and a "__MACOSX"
// folder at the top of the target is removed.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>

struct zip;

class ZipExtractor
{
public:
    // When the flag becomes true, extraction stops and fails (nothing moved into place).
    void setStopFlag(const std::atomic_bool *stop) { m_stop = stop; }

    bool extractFile(const QString &archivePath, const QString &folder);
    bool extractData(const QByteArray &archive, const QString &folder);

    // Names of the archive's entries ("/"-separated, as stored; empty on error).
    static QStringList entryNames(const QString &archivePath);

    QString errorString() const { return m_error; }

private:
    bool extract(struct zip *archive, const QString &folder);
    bool fail(const QString &message);

    const std::atomic_bool *m_stop = nullptr;
    QString m_error;
};
