#include "output/packages/PeFile.h"

#include <QSet>
#include <QtEndian>

namespace {

constexpr int kCoffHeaderSize = 20;
constexpr int kSectionHeaderSize = 40;
constexpr int kMaxSections = 96;          // the format's own limit
constexpr int kResourceDirectoryIndex = 2;
constexpr int kResourceDirSize = 16;
constexpr int kResourceEntrySize = 8;
constexpr int kDataEntrySize = 16;
constexpr int kMaxResourceLeaves = 65536; // far beyond any real program

} // namespace

bool PeFile::fail(const QString &message)
{
    m_error = message;
    m_sections.clear();
    m_resources.clear();
    return false;
}

bool PeFile::parse(const QByteArray &data)
{
    m_data = data;
    m_error.clear();
    m_sections.clear();
    m_resources.clear();
    m_is64 = false;
    m_imageEnd = 0;

    const qint64 size = data.size();
    const auto u16 = [&](qint64 at) { return qFromLittleEndian<quint16>(data.constData() + at); };
    const auto u32 = [&](qint64 at) { return qFromLittleEndian<quint32>(data.constData() + at); };

    if (size < 64 || !data.startsWith("MZ"))
        return fail(QStringLiteral("not a Windows program"));
    const qint64 pe = u32(0x3C);
    if (pe < 64 || pe + 4 + kCoffHeaderSize > size || data.mid(pe, 4) != QByteArray("PE\0\0", 4))
        return fail(QStringLiteral("no PE header"));
    const qint64 coff = pe + 4;
    const int sectionCount = u16(coff + 2);
    const int optionalSize = u16(coff + 16);
    const qint64 optional = coff + kCoffHeaderSize;
    if (sectionCount == 0 || sectionCount > kMaxSections)
        return fail(QStringLiteral("bad section count %1").arg(sectionCount));
    if (optionalSize < 2 || optional + optionalSize > size)
        return fail(QStringLiteral("optional header out of range"));

    const quint16 magic = u16(optional);
    qint64 dirCountAt, dirsAt;
    if (magic == 0x10b) {
        dirCountAt = 92;
        dirsAt = 96;
    } else if (magic == 0x20b) {
        m_is64 = true;
        dirCountAt = 108;
        dirsAt = 112;
    } else {
        return fail(QStringLiteral("unknown optional header"));
    }
    if (dirCountAt + 4 > optionalSize || 64 > optionalSize)
        return fail(QStringLiteral("optional header too short"));
    const quint32 sizeOfHeaders = u32(optional + 60);
    const quint32 dirCount = u32(optional + dirCountAt);

    const qint64 sectionTable = optional + optionalSize;
    if (sectionTable + qint64(sectionCount) * kSectionHeaderSize > size)
        return fail(QStringLiteral("section table out of range"));
    m_imageEnd = sizeOfHeaders;
    for (int i = 0; i < sectionCount; ++i) {
        const qint64 at = sectionTable + qint64(i) * kSectionHeaderSize;
        Section s;
        s.name = data.mid(at, 8);
        s.name.truncate(s.name.indexOf('\0') >= 0 ? s.name.indexOf('\0') : 8);
        s.virtualSize = u32(at + 8);
        s.virtualAddress = u32(at + 12);
        s.rawSize = u32(at + 16);
        s.rawOffset = u32(at + 20);
        if (s.rawSize > 0 && qint64(s.rawOffset) + s.rawSize > size)
            return fail(QStringLiteral("section %1 runs past the end of the file").arg(QString::fromLatin1(s.name)));
        if (s.rawSize > 0)
            m_imageEnd = qMax(m_imageEnd, qint64(s.rawOffset) + s.rawSize);
        m_sections << s;
    }
    if (m_imageEnd > size)
        return fail(QStringLiteral("headers run past the end of the file"));

    if (dirCount > quint32(kResourceDirectoryIndex) &&
        dirsAt + (kResourceDirectoryIndex + 1) * 8 <= optionalSize) {
        const quint32 rva = u32(optional + dirsAt + kResourceDirectoryIndex * 8);
        const quint32 length = u32(optional + dirsAt + kResourceDirectoryIndex * 8 + 4);
        if (rva != 0 && length != 0 && !readResources(rva, length))
            return false;
    }
    return true;
}

std::optional<qint64> PeFile::offsetOfRva(quint32 rva, quint32 size) const
{
    for (const Section &s : m_sections) {
        const quint64 start = s.virtualAddress;
        if (rva < start)
            continue;
        const quint64 inside = quint64(rva) - start;
        const quint64 span = qMax(s.virtualSize, s.rawSize);
        if (inside >= span)
            continue;
        // Only bytes stored in the file count; the rest of a section is zero-filled.
        if (inside + size > s.rawSize)
            return std::nullopt;
        const quint64 offset = quint64(s.rawOffset) + inside;
        if (offset + size > quint64(m_data.size()))
            return std::nullopt;
        return qint64(offset);
    }
    return std::nullopt;
}

bool PeFile::readResources(quint32 rva, quint32 size)
{
    const std::optional<qint64> base = offsetOfRva(rva, qMin<quint32>(size, kResourceDirSize));
    if (!base)
        return fail(QStringLiteral("resource directory outside the sections"));
    // The tree may only point inside the bytes the resource section has in the file.
    qint64 limit = size;
    for (const Section &s : m_sections)
        if (rva >= s.virtualAddress && quint64(rva) < quint64(s.virtualAddress) + qMax(s.virtualSize, s.rawSize))
            limit = qMin<qint64>(limit, qint64(s.rawSize) - (rva - s.virtualAddress));

    const QByteArray &data = m_data;
    const auto u16 = [&](qint64 at) { return qFromLittleEndian<quint16>(data.constData() + *base + at); };
    const auto u32 = [&](qint64 at) { return qFromLittleEndian<quint32>(data.constData() + *base + at); };

    const auto readName = [&](quint32 at, QString &name) {
        if (qint64(at) + 2 > limit)
            return false;
        const int length = u16(at);
        if (qint64(at) + 2 + qint64(length) * 2 > limit)
            return false;
        name.resize(length);
        for (int i = 0; i < length; ++i)
            name[i] = QChar(u16(at + 2 + i * 2));
        return true;
    };

    QSet<quint32> visited;
    struct Path
    {
        quint32 type = 0, id = 0;
        QString name;
    };
    // Iterative walk: (directory offset, level, path so far).
    QList<std::tuple<quint32, int, Path>> pending{{0, 0, Path{}}};
    while (!pending.isEmpty()) {
        auto [dir, level, path] = pending.takeFirst();
        if (visited.contains(dir))
            return fail(QStringLiteral("resource tree has a loop"));
        visited.insert(dir);
        if (qint64(dir) + kResourceDirSize > limit)
            return fail(QStringLiteral("resource directory out of range"));
        const int count = u16(dir + 12) + u16(dir + 14);
        if (qint64(dir) + kResourceDirSize + qint64(count) * kResourceEntrySize > limit)
            return fail(QStringLiteral("resource entries out of range"));
        for (int i = 0; i < count; ++i) {
            const qint64 at = qint64(dir) + kResourceDirSize + qint64(i) * kResourceEntrySize;
            const quint32 nameField = u32(at);
            const quint32 target = u32(at + 4);
            Path next = path;
            quint32 idValue = 0;
            QString nameValue;
            if (nameField & 0x80000000u) {
                if (!readName(nameField & 0x7fffffffu, nameValue))
                    return fail(QStringLiteral("resource name out of range"));
            } else {
                idValue = nameField;
            }
            if (level == 0)
                next.type = idValue;
            else if (level == 1) {
                next.id = idValue;
                next.name = nameValue;
            }
            const bool isDirectory = target & 0x80000000u;
            if (level < 2) {
                if (!isDirectory)
                    return fail(QStringLiteral("resource leaf above the language level"));
                pending.append({target & 0x7fffffffu, level + 1, next});
                continue;
            }
            if (isDirectory)
                return fail(QStringLiteral("resource tree deeper than three levels"));
            if (qint64(target) + kDataEntrySize > limit)
                return fail(QStringLiteral("resource data entry out of range"));
            if (m_resources.size() >= kMaxResourceLeaves)
                return fail(QStringLiteral("too many resources"));
            Resource r;
            r.type = next.type;
            r.id = next.id;
            r.name = next.name;
            r.language = idValue;
            r.dataRva = u32(target);
            r.size = u32(target + 4);
            r.entryOffset = *base + target;
            const std::optional<qint64> dataOffset = offsetOfRva(r.dataRva, r.size);
            if (!dataOffset)
                return fail(QStringLiteral("resource data outside the file"));
            r.dataOffset = *dataOffset;
            m_resources << r;
        }
    }
    return true;
}

QList<PeFile::Resource> PeFile::resourcesOfType(quint32 type) const
{
    QList<Resource> out;
    for (const Resource &r : m_resources)
        if (r.type == type)
            out << r;
    return out;
}
