#pragma once
// Windows icon pictures: ".ico" files and the icon resources of executables.
//
// An icon picture is either a PNG file or a device-independent bitmap: a 40-byte
// bitmap header whose height is twice the picture's, the colour rows bottom-up, then
// a 1-bit transparency mask (rows padded to 32 bits). We always write 32-bit colour
// bitmaps (blue, green, red, alpha), whose size depends only on the picture size, so
// an icon resource of the same size can be overwritten in place.
// An ".ico" file is a 6-byte header (0, 1, count), one 16-byte directory entry per
// picture (width and height with 0 meaning 256, colours, reserved, planes, bits per
// pixel, byte count, file offset), then the pictures.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <optional>

class IcoFile
{
public:
    struct Picture
    {
        int width = 0;
        int height = 0;
        int bitCount = 0;
        QByteArray data; // PNG or bitmap, as stored
    };

    // Byte count of the 32-bit bitmap of a width x height picture.
    static qsizetype bitmapSize(int width, int height);
    static QByteArray encodeBitmap(const QImage &image);
    static QByteArray encodePng(const QImage &image);

    // Decodes one stored picture (PNG or bitmap of 1, 4, 8, 24 or 32 bits); a null
    // image when it is neither or is damaged.
    static QImage decodePicture(const QByteArray &data);

    // An ".ico" file holding pictures exactly as given.
    static QByteArray encode(const QList<Picture> &pictures);
    // An ".ico" file of images: 256 pixels and up as PNG, smaller ones as bitmaps.
    static QByteArray encodeImages(const QList<QImage> &images);

    // The pictures of an ".ico" file; nullopt when its structure is broken.
    static std::optional<QList<Picture>> decode(const QByteArray &data);
    // Every picture of an ".ico" file that decodes.
    static QList<QImage> decodeImages(const QByteArray &data);
};
