#include "output/packages/IcoFile.h"

#include <QBuffer>
#include <QtEndian>

namespace {

constexpr int kDirHeader = 6;
constexpr int kDirEntry = 16;
constexpr int kBitmapHeader = 40;
constexpr int kMaxSide = 1024; // icons are at most 256; leaves room for odd files
constexpr int kMaxPictures = 256;

const QByteArray kPngMagic("\x89PNG\r\n\x1a\n", 8);

void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

quint16 get16(const QByteArray &d, qsizetype at)
{
    return qFromLittleEndian<quint16>(d.constData() + at);
}

quint32 get32(const QByteArray &d, qsizetype at)
{
    return qFromLittleEndian<quint32>(d.constData() + at);
}

int maskStride(int width)
{
    return ((width + 31) / 32) * 4;
}

} // namespace

qsizetype IcoFile::bitmapSize(int width, int height)
{
    return kBitmapHeader + qsizetype(width) * height * 4 + qsizetype(maskStride(width)) * height;
}

QByteArray IcoFile::encodeBitmap(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    QByteArray out;
    out.reserve(bitmapSize(w, h));
    put32(out, kBitmapHeader);
    put32(out, quint32(w));
    put32(out, quint32(h * 2)); // colour rows and mask rows
    put16(out, 1);              // planes
    put16(out, 32);             // bits per pixel
    put32(out, 0);              // no compression
    put32(out, quint32(bitmapSize(w, h) - kBitmapHeader));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(char(qBlue(line[x])));
            out.append(char(qGreen(line[x])));
            out.append(char(qRed(line[x])));
            out.append(char(qAlpha(line[x])));
        }
    }
    // The mask marks fully transparent pixels; systems that ignore the alpha
    // channel still get the outline right.
    const int stride = maskStride(w);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, 0);
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

QByteArray IcoFile::encodePng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return bytes;
}

QImage IcoFile::decodePicture(const QByteArray &data)
{
    if (data.startsWith(kPngMagic))
        return QImage::fromData(data, "PNG");
    if (data.size() < kBitmapHeader || get32(data, 0) != quint32(kBitmapHeader))
        return {};
    const qint32 width = qint32(get32(data, 4));
    const qint32 height = qint32(get32(data, 8)) / 2;
    const quint16 bits = get16(data, 14);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return {};
    // Qt decodes every bitmap depth; hand it the picture as a one-picture icon file.
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.bitCount = bits;
    picture.data = data;
    return QImage::fromData(encode({picture}), "ICO");
}

QByteArray IcoFile::encode(const QList<Picture> &pictures)
{
    QByteArray out;
    put16(out, 0);
    put16(out, 1);
    put16(out, quint16(pictures.size()));
    quint32 offset = quint32(kDirHeader + kDirEntry * pictures.size());
    for (const Picture &p : pictures) {
        out.append(char(p.width >= 256 ? 0 : p.width));
        out.append(char(p.height >= 256 ? 0 : p.height));
        out.append(char(0)); // colour count: none for true-colour pictures
        out.append(char(0));
        put16(out, 1);
        put16(out, quint16(p.bitCount));
        put32(out, quint32(p.data.size()));
        put32(out, offset);
        offset += quint32(p.data.size());
    }
    for (const Picture &p : pictures)
        out.append(p.data);
    return out;
}

QByteArray IcoFile::encodeImages(const QList<QImage> &images)
{
    QList<Picture> pictures;
    for (const QImage &image : images) {
        Picture p;
        p.width = image.width();
        p.height = image.height();
        p.bitCount = 32;
        p.data = image.width() >= 256 ? encodePng(image) : encodeBitmap(image);
        pictures << p;
    }
    return encode(pictures);
}

std::optional<QList<IcoFile::Picture>> IcoFile::decode(const QByteArray &data)
{
    if (data.size() < kDirHeader || get16(data, 0) != 0 || get16(data, 2) != 1)
        return std::nullopt;
    const int count = get16(data, 4);
    if (count == 0 || count > kMaxPictures || data.size() < kDirHeader + qsizetype(count) * kDirEntry)
        return std::nullopt;
    QList<Picture> pictures;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = kDirHeader + qsizetype(i) * kDirEntry;
        const quint32 size = get32(data, at + 8);
        const quint32 offset = get32(data, at + 12);
        if (size == 0 || offset > quint32(data.size()) || size > quint32(data.size()) - offset)
            return std::nullopt;
        Picture p;
        p.width = quint8(data[at]) == 0 ? 256 : quint8(data[at]);
        p.height = quint8(data[at + 1]) == 0 ? 256 : quint8(data[at + 1]);
        p.bitCount = get16(data, at + 6);
        p.data = data.mid(offset, size);
        pictures << p;
    }
    return pictures;
}

QList<QImage> IcoFile::decodeImages(const QByteArray &data)
{
    QList<QImage> images;
    if (const auto pictures = decode(data)) {
        for (const Picture &p : *pictures) {
            const QImage image = decodePicture(p.data);
            if (!image.isNull())
                images << image;
        }
    }
    return images;
}
