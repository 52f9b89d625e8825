#pragma once
// JPEG encoding of 24-bit RGB rows into memory, fed a few rows at a time.
//
// libjpeg is used directly rather than through QImageWriter: rows go to the encoder
// straight from where they lie (a page render, a half of it) without a copy, and
// the caller can hand the same rows to other work while they are in the cache.
// The file written is what Qt writes: baseline JFIF, 4:2:0, marked 96 dpi.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <memory>

class JpegEncoder
{
public:
    // `memory` is used for the encoded bytes when it is unshared: its allocation
    // is kept from one picture to the next.
    JpegEncoder(const QSize &size, int quality, QByteArray memory = QByteArray());
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder &) = delete;
    JpegEncoder &operator=(const JpegEncoder &) = delete;

    // The next `count` rows, each `stride` bytes after the one before, each holding
    // size.width() RGB pixels. Rows past the picture's height are ignored.
    void addRows(const uchar *first, qsizetype stride, int count);
    // The encoded file once every row was added; empty if encoding failed. Call once.
    QByteArray finish();

    // The whole picture (any format; made opaque on white first if it is not RGB888).
    static QByteArray encode(const QImage &image, int quality);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
