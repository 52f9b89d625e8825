#pragma once
// Reads the headers, sections and resource tree of a Windows executable (PE file).
//
// An executable handed to us may be damaged or hostile: every offset, count and size
// is checked against the data before it is used, the resource tree is walked at most
// three levels deep with every directory visited once, and any inconsistency makes
// parse() answer false instead of reading out of bounds.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class PeFile
{
public:
    // Resource types used here.
    static constexpr quint32 kIconType = 3;      // RT_ICON
    static constexpr quint32 kGroupIconType = 14; // RT_GROUP_ICON

    struct Section
    {
        QByteArray name;
        quint32 virtualAddress = 0;
        quint32 virtualSize = 0;
        quint32 rawOffset = 0;
        quint32 rawSize = 0;
    };

    // One leaf of the resource tree (type / name / language).
    struct Resource
    {
        quint32 type = 0;     // numeric type, 0 when the type is named
        quint32 id = 0;       // numeric name, 0 when named
        QString name;         // the name when it is a string
        quint32 language = 0;
        quint32 dataRva = 0;
        quint32 size = 0;
        qint64 dataOffset = 0;  // file offset of the resource data
        qint64 entryOffset = 0; // file offset of its data entry (RVA, size, code page, reserved)
    };

    // Parses data (kept by reference count, not copied). False with errorString()
    // when it is not a well-formed executable.
    bool parse(const QByteArray &data);

    bool is64Bit() const { return m_is64; }
    const QList<Section> &sections() const { return m_sections; }
    const QList<Resource> &resources() const { return m_resources; }
    QList<Resource> resourcesOfType(quint32 type) const;

    // File offset of the size bytes at rva when they lie inside one section's raw data.
    std::optional<qint64> offsetOfRva(quint32 rva, quint32 size) const;

    // Where the image ends in the file (after the headers and the last section's raw
    // data); anything beyond is data appended to the program.
    qint64 imageEnd() const { return m_imageEnd; }

    QString errorString() const { return m_error; }

private:
    bool fail(const QString &message);
    bool readResources(quint32 rva, quint32 size);

    QByteArray m_data;
    bool m_is64 = false;
    QList<Section> m_sections;
    QList<Resource> m_resources;
    qint64 m_imageEnd = 0;
    QString m_error;
};
