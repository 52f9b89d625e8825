#include "output/packages/ExeIconResources.h"

#include "output/packages/IcoFile.h"
#include "output/packages/IconPictures.h"

#include <QHash>
#include <QSet>
#include <QtEndian>

namespace {

constexpr int kGroupHeader = 6;
constexpr int kGroupEntry = 14;

void write16(QByteArray &data, qint64 at, quint16 value)
{
    qToLittleEndian(value, data.data() + at);
}

void write32(QByteArray &data, qint64 at, quint32 value)
{
    qToLittleEndian(value, data.data() + at);
}

} // namespace

bool ExeIconResources::read(const QByteArray &exe)
{
    m_groups.clear();
    m_icons.clear();
    m_error.clear();
    if (!m_pe.parse(exe)) {
        m_error = m_pe.errorString();
        return false;
    }

    QHash<quint32, PeFile::Resource> iconResources;
    for (const PeFile::Resource &r : m_pe.resourcesOfType(PeFile::kIconType))
        if (!iconResources.contains(r.id))
            iconResources.insert(r.id, r);

    QSet<quint32> listed;
    for (const PeFile::Resource &r : m_pe.resourcesOfType(PeFile::kGroupIconType)) {
        const QByteArray data = exe.mid(r.dataOffset, r.size);
        if (data.size() < kGroupHeader || qFromLittleEndian<quint16>(data.constData() + 2) != 1) {
            m_error = QStringLiteral("icon group %1 is malformed").arg(r.id);
            return false;
        }
        const int count = qFromLittleEndian<quint16>(data.constData() + 4);
        if (kGroupHeader + qsizetype(count) * kGroupEntry > data.size()) {
            m_error = QStringLiteral("icon group %1 is cut short").arg(r.id);
            return false;
        }
        Group group;
        group.id = r.id;
        group.name = r.name;
        for (int i = 0; i < count; ++i) {
            const qsizetype at = kGroupHeader + qsizetype(i) * kGroupEntry;
            const uchar *p = reinterpret_cast<const uchar *>(data.constData() + at);
            GroupEntry entry;
            entry.width = p[0] == 0 ? 256 : p[0];
            entry.height = p[1] == 0 ? 256 : p[1];
            entry.bitCount = qFromLittleEndian<quint16>(p + 6);
            entry.bytes = qFromLittleEndian<quint32>(p + 8);
            entry.iconId = qFromLittleEndian<quint16>(p + 12);
            entry.fileOffset = r.dataOffset + at;
            group.entries << entry;

            const auto icon = iconResources.constFind(entry.iconId);
            if (icon == iconResources.constEnd() || listed.contains(entry.iconId))
                continue;
            listed.insert(entry.iconId);
            Icon item;
            item.id = icon->id;
            item.language = icon->language;
            item.width = entry.width;
            item.height = entry.height;
            item.bitCount = entry.bitCount;
            item.data = exe.mid(icon->dataOffset, icon->size);
            item.dataOffset = icon->dataOffset;
            item.entryOffset = icon->entryOffset;
            m_icons << item;
        }
        m_groups << group;
    }
    return true;
}

bool ExeIconResources::replaceIcons(QByteArray &exe, const QList<QImage> &sources, QString *error)
{
    const auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    ExeIconResources resources;
    if (!resources.read(exe))
        return fail(resources.errorString());
    if (resources.icons().isEmpty())
        return fail(QStringLiteral("the program carries no icon"));

    QByteArray patched = exe;
    for (const Icon &icon : resources.icons()) {
        const QImage picture = IconPictures::pictureForSize(sources, QSize(icon.width, icon.height));
        if (picture.isNull())
            return fail(QStringLiteral("no picture to make the icon from"));
        QByteArray encoded = IcoFile::encodeBitmap(picture);
        if (encoded.size() > icon.data.size())
            encoded = IcoFile::encodePng(picture);
        if (encoded.size() > icon.data.size())
            return fail(QStringLiteral("the %1x%2 icon does not fit into the program").arg(icon.width).arg(icon.height));

        // The new picture, then zeros over what is left of the old one.
        patched.replace(icon.dataOffset, encoded.size(), encoded);
        patched.replace(icon.dataOffset + encoded.size(), icon.data.size() - encoded.size(),
                        QByteArray(icon.data.size() - encoded.size(), '\0'));
        write32(patched, icon.entryOffset + 4, quint32(encoded.size()));
        for (const Group &group : resources.groups()) {
            for (const GroupEntry &entry : group.entries) {
                if (entry.iconId != icon.id)
                    continue;
                patched[entry.fileOffset + 2] = 0; // colour count: true colour
                write16(patched, entry.fileOffset + 4, 1);
                write16(patched, entry.fileOffset + 6, 32);
                write32(patched, entry.fileOffset + 8, quint32(encoded.size()));
            }
        }
    }
    exe = patched;
    return true;
}
