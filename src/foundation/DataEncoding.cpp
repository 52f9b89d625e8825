#include "foundation/DataEncoding.h"

#include <zlib.h>

QByteArray gzipDeflate(const QByteArray &data)
{
    z_stream stream{};
    // windowBits 15 + 16: write a gzip header and trailer.
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out;
    out.resize(qsizetype(deflateBound(&stream, uLong(data.size()))) + 32);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        return {};
    out.resize(qsizetype(stream.total_out));
    return out;
}

std::optional<QByteArray> gzipInflate(const QByteArray &data, qsizetype maxSize)
{
    if (data.isEmpty())
        return std::nullopt;
    z_stream stream{};
    // windowBits 15 + 32: accept a gzip or a zlib header.
    if (inflateInit2(&stream, 15 + 32) != Z_OK)
        return std::nullopt;
    QByteArray out;
    char chunk[64 * 1024];
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    bool ok = false;
    while (true) {
        stream.next_out = reinterpret_cast<Bytef *>(chunk);
        stream.avail_out = sizeof chunk;
        const int result = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (maxSize >= 0 && out.size() > maxSize)
            break;
        if (result == Z_STREAM_END) {
            // Another gzip member may follow (concatenated .gz files).
            if (stream.avail_in > 0 && inflateReset(&stream) == Z_OK)
                continue;
            ok = stream.avail_in == 0;
            break;
        }
        if (result != Z_OK) // Z_BUF_ERROR here means the input ended too early
            break;
    }
    inflateEnd(&stream);
    if (!ok)
        return std::nullopt;
    return out;
}

QByteArray base64Encode(const QByteArray &data)
{
    return data.toBase64();
}

std::optional<QByteArray> base64Decode(const QByteArray &text)
{
    QByteArray compact = text;
    compact.removeIf([](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
    const auto result = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return result.decoded;
}
