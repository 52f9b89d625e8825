#pragma once
// Apple icon files (".icns"): a writer that puts several sizes into one file, and a
// reader that gives back every picture it can decode.
//
// A file is the magic "icns", its total length (32-bit big-endian), then entries of a
// four-character type, the entry length (header included) and the data. Written
// entries, by picture size:
//   16    "is32" (RGB, run-length coded per channel) with its 8-bit mask "s8mk"
//   32    "il32" with "l8mk"; "ic11" (PNG, the 16 point icon at double density)
//   128   "ic07" (PNG)
//   256   "ic08" (PNG); "ic13" (the 128 point icon at double density)
//   512   "ic09" (PNG); "ic14" (the 256 point icon at double density)
//   1024  "ic10" (PNG, the 512 point icon at double density)
// The small sizes use the old run-length types because every Finder version shows
// them; the large ones are PNG, which macOS reads since 10.7.
// The reader also takes "icp4" "icp5" "icp6" "ic12" (PNG), "ic04" "ic05" (ARGB or
// PNG), "ih32"/"h8mk" and "it32"/"t8mk"; JPEG 2000 entries are skipped.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

class IcnsFile
{
public:
    struct Entry
    {
        QByteArray type; // the four-character entry type
        QImage image;
    };

    // The sizes a file may be written with.
    static const QList<int> &writableSizes();

    // Encodes pictures keyed by their pixel size (a member of writableSizes()); a
    // picture that is not exactly that size square is scaled to it. nullopt (with
    // error) for an empty map, an unknown size or a null picture.
    static std::optional<QByteArray> encode(const QMap<int, QImage> &imagesBySize, QString *error = nullptr);

    // Decodes every picture of the file in file order (a mask is applied to its
    // picture). nullopt when the data is not an icon file or its structure is broken;
    // entries whose picture cannot be decoded are left out.
    static std::optional<QList<Entry>> decode(const QByteArray &data, QString *error = nullptr);
    static std::optional<QList<Entry>> readFile(const QString &path, QString *error = nullptr);

    // The widest picture of entries (the first of equal widths), or a null image.
    static QImage largestImage(const QList<Entry> &entries);
};
