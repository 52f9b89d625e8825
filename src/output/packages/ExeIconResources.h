#pragma once
// The icons of a Windows executable: its icon groups (RT_GROUP_ICON, the list of
// sizes of one icon) and the pictures they point at (RT_ICON), read through PeFile;
// and the in-place replacement of those pictures.
//
// Replacement never moves or resizes anything in the program: every picture is
// overwritten inside the bytes it already occupies, and only the sizes recorded in
// its data entry and its group entry change. A program built with 32-bit bitmap icons
// (as our stub is) therefore takes any new picture of the same sizes.

#include "output/packages/PeFile.h"

#include <QImage>

class ExeIconResources
{
public:
    struct Icon
    {
        quint32 id = 0;
        quint32 language = 0;
        int width = 0;
        int height = 0;
        int bitCount = 0;
        QByteArray data;        // PNG or bitmap, as stored
        qint64 dataOffset = 0;  // in the file
        qint64 entryOffset = 0; // of its resource data entry
    };

    struct GroupEntry
    {
        int width = 0; // 256 for a stored 0
        int height = 0;
        int bitCount = 0;
        quint32 bytes = 0;
        quint32 iconId = 0;
        qint64 fileOffset = 0; // of this 14-byte entry
    };

    struct Group
    {
        quint32 id = 0;
        QString name;
        QList<GroupEntry> entries;
    };

    // False with errorString() when exe is not a readable program or an icon group
    // is malformed. A program without icons reads fine (no groups).
    bool read(const QByteArray &exe);

    const QList<Group> &groups() const { return m_groups; }
    // The pictures the groups point at, in group order, each once.
    const QList<Icon> &icons() const { return m_icons; }
    qint64 imageEnd() const { return m_pe.imageEnd(); }

    // Overwrites each icon picture of exe with the best of sources scaled to its size
    // (same size, else the smallest larger one, else the largest). False, with exe
    // unchanged, when exe has no icons, sources is empty or a picture does not fit.
    static bool replaceIcons(QByteArray &exe, const QList<QImage> &sources, QString *error = nullptr);

    QString errorString() const { return m_error; }

private:
    PeFile m_pe;
    QList<Group> m_groups;
    QList<Icon> m_icons;
    QString m_error;
};
