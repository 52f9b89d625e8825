#pragma once
// Image helpers: page DPIs of the quality levels, scaling, decoding and writing.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class ImageUtility
{
public:
    // The page DPI of quality level 0, 1 or 2: the settings "ImageDPILevel0/1/2" of the
    // shared settings store, 216, 144 and 120 when unset or not a positive number.
    // Any other level gives the DPI of level 0.
    static int getImageDPIByLevel(int level);

    // image scaled to size (smooth; the aspect ratio follows size).
    static QImage resizeImage(const QImage &image, const QSize &size);

    // Decodes image number index of the encoded data and writes it to path in type
    // ("png", "jpeg", ...) with compression as quality (0 to 1; lossy formats only).
    static bool saveImageToPath(const QString &path, const QString &type, const QByteArray &encoded, int index,
                                double compression);

    // Writes image to path in type with compression as quality (0 to 1; lossy formats
    // only), atomically:
    // a failed write leaves an older file untouched. JPEG is written as a page picture
    // (see writeJpeg).
    static bool writeToURL(const QString &path, const QString &type, const QImage &image, double compression);

    // Writes image as JPEG of quality (0 to 100) with Huffman tables made for it, in
    // progressive scans when asked (pictures of page size; thumbnails stay baseline).
    // The same pixels as a plain JPEG of that quality, in fewer bytes.
    static bool writeJpeg(QIODevice *device, const QImage &image, int quality, bool progressive);
};
