#pragma once
// Data encodings: gzip (zlib) and Base64.

#include <QByteArray>
#include <optional>

// data compressed in the gzip format (a gzip header around deflate data).
QByteArray gzipDeflate(const QByteArray &data);

// data inflated from the gzip or the zlib format (found from its header), with
// several gzip members read one after the other; nullopt when data is neither, is
// damaged or is cut short, or (with maxSize not negative) when it would inflate to
// more than maxSize bytes.
std::optional<QByteArray> gzipInflate(const QByteArray &data, qsizetype maxSize = -1);

// Base64 (standard alphabet, padded). Decoding ignores line breaks and blanks but
// refuses anything else that is not Base64 rather than skipping odd characters.
QByteArray base64Encode(const QByteArray &data);
std::optional<QByteArray> base64Decode(const QByteArray &text);
