#include "output/packages/IcnsFile.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QtEndian>

namespace {

constexpr int kHeaderSize = 8;
// No icon file of any real use comes near this; it keeps a hostile length field
// from making us read or allocate without bound.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

const QByteArray kPngMagic("\x89PNG\r\n\x1a\n", 8);

bool setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

void appendEntry(QByteArray &out, const char *type, const QByteArray &data)
{
    out.append(type, 4);
    char length[4];
    qToBigEndian<quint32>(quint32(data.size() + kHeaderSize), length);
    out.append(length, 4);
    out.append(data);
}

QByteArray pngData(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return bytes;
}

// One channel in the icon run-length code: a byte n < 128 is followed by n + 1
// literal bytes; a byte n >= 128 by one byte repeated n - 125 times (3 to 130).
void packChannel(const QByteArray &channel, QByteArray &out)
{
    const int n = int(channel.size());
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 130 && channel[i + run] == channel[i])
            ++run;
        if (run >= 3) {
            out.append(char(0x80 + run - 3));
            out.append(channel[i]);
            i += run;
            continue;
        }
        // Literal stretch up to the next run of three or 128 bytes.
        int start = i;
        int length = 0;
        while (i < n && length < 128) {
            if (i + 2 < n && channel[i] == channel[i + 1] && channel[i] == channel[i + 2])
                break;
            ++i;
            ++length;
        }
        out.append(char(length - 1));
        out.append(channel.constData() + start, length);
    }
}

// Decodes count bytes of one channel from data at pos; false when the data ends early
// or a run overshoots the channel.
bool unpackChannel(const QByteArray &data, qsizetype &pos, int count, QByteArray &channel)
{
    channel.clear();
    channel.reserve(count);
    while (channel.size() < count) {
        if (pos >= data.size())
            return false;
        const quint8 code = quint8(data[pos++]);
        if (code & 0x80) {
            const int run = code - 125;
            if (pos >= data.size() || channel.size() + run > count)
                return false;
            channel.append(run, data[pos++]);
        } else {
            const int length = code + 1;
            if (pos + length > data.size() || channel.size() + length > count)
                return false;
            channel.append(data.constData() + pos, length);
            pos += length;
        }
    }
    return true;
}

QByteArray rleRgb(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int pixels = argb.width() * argb.height();
    QByteArray r(pixels, 0), g(pixels, 0), b(pixels, 0);
    for (int y = 0, i = 0; y < argb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, ++i) {
            r[i] = char(qRed(line[x]));
            g[i] = char(qGreen(line[x]));
            b[i] = char(qBlue(line[x]));
        }
    }
    QByteArray out;
    packChannel(r, out);
    packChannel(g, out);
    packChannel(b, out);
    return out;
}

QByteArray alphaMask(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray mask;
    mask.reserve(argb.width() * argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            mask.append(char(qAlpha(line[x])));
    }
    return mask;
}

// Planar channels (alpha first when withAlpha) into an image of side x side.
std::optional<QImage> decodeRle(const QByteArray &data, qsizetype pos, int side, bool withAlpha)
{
    const int pixels = side * side;
    QList<QByteArray> channels;
    for (int c = 0; c < (withAlpha ? 4 : 3); ++c) {
        QByteArray channel;
        if (!unpackChannel(data, pos, pixels, channel))
            return std::nullopt;
        channels << channel;
    }
    QImage image(side, side, QImage::Format_ARGB32);
    const int first = withAlpha ? 1 : 0;
    for (int i = 0; i < pixels; ++i) {
        const int alpha = withAlpha ? quint8(channels[0][i]) : 255;
        image.setPixel(i % side, i / side,
                       qRgba(quint8(channels[first][i]), quint8(channels[first + 1][i]),
                             quint8(channels[first + 2][i]), alpha));
    }
    return image;
}

// Old RGB entries: run-length coded, or (rarely) stored as plain 4-byte pixels.
std::optional<QImage> decodeRgbEntry(const QByteArray &data, int side, bool skipZeroHeader)
{
    if (data.size() == qsizetype(side) * side * 4) {
        QImage image(side, side, QImage::Format_ARGB32);
        for (int i = 0; i < side * side; ++i)
            image.setPixel(i % side, i / side,
                           qRgb(quint8(data[4 * i + 1]), quint8(data[4 * i + 2]), quint8(data[4 * i + 3])));
        return image;
    }
    return decodeRle(data, skipZeroHeader ? 4 : 0, side, false);
}

struct RgbType
{
    int side;
    const char *mask;
};

const QHash<QByteArray, RgbType> &rgbTypes()
{
    static const QHash<QByteArray, RgbType> types{
        {"is32", {16, "s8mk"}}, {"il32", {32, "l8mk"}}, {"ih32", {48, "h8mk"}}, {"it32", {128, "t8mk"}}};
    return types;
}

const QHash<QByteArray, int> &pngTypes()
{
    static const QHash<QByteArray, int> types{
        {"icp4", 16},  {"icp5", 32},  {"icp6", 64},  {"ic04", 16},  {"ic05", 32},  {"ic07", 128}, {"ic08", 256},
        {"ic09", 512}, {"ic10", 1024}, {"ic11", 32}, {"ic12", 64},  {"ic13", 256}, {"ic14", 512}};
    return types;
}

} // namespace

const QList<int> &IcnsFile::writableSizes()
{
    static const QList<int> sizes{16, 32, 128, 256, 512, 1024};
    return sizes;
}

std::optional<QByteArray> IcnsFile::encode(const QMap<int, QImage> &imagesBySize, QString *error)
{
    if (imagesBySize.isEmpty()) {
        setError(error, QStringLiteral("no picture for the icon"));
        return std::nullopt;
    }
    QMap<int, QImage> images;
    for (auto it = imagesBySize.constBegin(); it != imagesBySize.constEnd(); ++it) {
        if (!writableSizes().contains(it.key())) {
            setError(error, QStringLiteral("an icon cannot hold a picture of %1 pixels").arg(it.key()));
            return std::nullopt;
        }
        if (it.value().isNull()) {
            setError(error, QStringLiteral("the %1 pixel picture is empty").arg(it.key()));
            return std::nullopt;
        }
        QImage image = it.value();
        if (image.size() != QSize(it.key(), it.key()))
            image = image.scaled(it.key(), it.key(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        images.insert(it.key(), image.convertToFormat(QImage::Format_ARGB32));
    }

    QByteArray body;
    if (images.contains(16)) {
        appendEntry(body, "is32", rleRgb(images[16]));
        appendEntry(body, "s8mk", alphaMask(images[16]));
    }
    if (images.contains(32)) {
        appendEntry(body, "il32", rleRgb(images[32]));
        appendEntry(body, "l8mk", alphaMask(images[32]));
        appendEntry(body, "ic11", pngData(images[32]));
    }
    if (images.contains(128))
        appendEntry(body, "ic07", pngData(images[128]));
    if (images.contains(256)) {
        const QByteArray png = pngData(images[256]);
        appendEntry(body, "ic08", png);
        appendEntry(body, "ic13", png);
    }
    if (images.contains(512)) {
        const QByteArray png = pngData(images[512]);
        appendEntry(body, "ic09", png);
        appendEntry(body, "ic14", png);
    }
    if (images.contains(1024))
        appendEntry(body, "ic10", pngData(images[1024]));

    QByteArray out;
    out.reserve(body.size() + kHeaderSize);
    out.append("icns", 4);
    char length[4];
    qToBigEndian<quint32>(quint32(body.size() + kHeaderSize), length);
    out.append(length, 4);
    out.append(body);
    return out;
}

std::optional<QList<IcnsFile::Entry>> IcnsFile::decode(const QByteArray &data, QString *error)
{
    if (data.size() < kHeaderSize || !data.startsWith("icns")) {
        setError(error, QStringLiteral("not an icon file"));
        return std::nullopt;
    }
    const quint32 total = qFromBigEndian<quint32>(data.constData() + 4);
    if (total < quint32(kHeaderSize) || total > quint32(data.size())) {
        setError(error, QStringLiteral("the icon file is cut short"));
        return std::nullopt;
    }

    QList<QPair<QByteArray, QByteArray>> raw; // type, data
    qsizetype pos = kHeaderSize;
    while (pos < qsizetype(total)) {
        if (qsizetype(total) - pos < kHeaderSize) {
            setError(error, QStringLiteral("broken entry header at %1").arg(pos));
            return std::nullopt;
        }
        const QByteArray type = data.mid(pos, 4);
        const quint32 length = qFromBigEndian<quint32>(data.constData() + pos + 4);
        if (length < quint32(kHeaderSize) || length > quint32(qsizetype(total) - pos)) {
            setError(error, QStringLiteral("entry \"%1\" has a bad length").arg(QString::fromLatin1(type)));
            return std::nullopt;
        }
        raw.append({type, data.mid(pos + kHeaderSize, length - kHeaderSize)});
        pos += length;
    }

    QHash<QByteArray, QByteArray> masks;
    for (const auto &[type, bytes] : raw)
        if (type.endsWith("8mk"))
            masks.insert(type, bytes);

    QList<Entry> entries;
    for (const auto &[type, bytes] : raw) {
        std::optional<QImage> image;
        if (bytes.startsWith(kPngMagic)) {
            QImage png = QImage::fromData(bytes, "PNG");
            if (!png.isNull())
                image = png;
        } else if (auto rgb = rgbTypes().constFind(type); rgb != rgbTypes().constEnd()) {
            image = decodeRgbEntry(bytes, rgb->side, type == "it32");
            const QByteArray mask = masks.value(rgb->mask);
            if (image && mask.size() == qsizetype(rgb->side) * rgb->side) {
                for (int i = 0; i < mask.size(); ++i) {
                    const int x = i % rgb->side, y = i / rgb->side;
                    const QRgb p = image->pixel(x, y);
                    image->setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), quint8(mask[i])));
                }
            }
        } else if ((type == "ic04" || type == "ic05") && bytes.startsWith("ARGB")) {
            image = decodeRle(bytes, 4, pngTypes().value(type), true);
        }
        // JPEG 2000 entries and unknown types are left out.
        if (image && !image->isNull())
            entries.append({type, *image});
    }
    return entries;
}

std::optional<QList<IcnsFile::Entry>> IcnsFile::readFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("cannot read %1").arg(path));
        return std::nullopt;
    }
    if (file.size() > kMaxFileSize) {
        setError(error, QStringLiteral("%1 is too large for an icon file").arg(path));
        return std::nullopt;
    }
    return decode(file.readAll(), error);
}

QImage IcnsFile::largestImage(const QList<Entry> &entries)
{
    QImage best;
    for (const Entry &entry : entries)
        if (entry.image.width() > best.width())
            best = entry.image;
    return best;
}
