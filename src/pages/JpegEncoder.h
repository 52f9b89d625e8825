#pragma once
// JPEG encoding of 24-bit RGB rows into memory, fed a few rows at a time.
//
// libjpeg is used directly rather than through QImageWriter: rows go to the encoder
// straight from where they lie (a page render, a half of it) without a copy, and
// the caller can hand the same rows to other work while they are in the cache.
// The file written is JFIF, 4:2:0, marked 96 dpi (what Qt writes), with Huffman
// tables made for the picture and progressive scans when the settings ask for them.
// libjpeg always makes the coefficients; progressive scans are coded from them by
// JpegScanCoder as they come, in one pass, rather than by libjpeg's two passes over
// every coefficient for every scan: the same file at a fraction of the work.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <memory>

class JpegScanCoder;

// How a picture is encoded.
struct JpegSettings
{
    int quality = 90;
    // Huffman tables made for the picture: a few per cent smaller. Without progressive
    // scans, at the cost of libjpeg's second pass and of holding the picture's
    // coefficients (about 3 bytes a pixel); small pictures only.
    bool optimizeCoding = false;
    // Progressive scans by spectral selection, always with tables made for the
    // picture: a blurred whole picture first, sharpened by later scans. The same
    // pixels once decoded, a few per cent fewer bytes on pictures of page size; holds
    // the picture's symbols (a few bytes for each coefficient that is not zero).
    bool progressive = false;
};

class JpegEncoder
{
public:
    // `memory` is used for the encoded bytes when it is unshared: its allocation
    // is kept from one picture to the next; so are a progressive picture's symbol
    // lists in `scanCoder` (one takeScanCoder() gave).
    JpegEncoder(const QSize &size, const JpegSettings &settings, QByteArray memory = QByteArray(),
                std::shared_ptr<JpegScanCoder> scanCoder = {});
    JpegEncoder(const QSize &size, int quality, QByteArray memory = QByteArray())
        : JpegEncoder(size, JpegSettings{quality}, std::move(memory))
    {
    }
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder &) = delete;
    JpegEncoder &operator=(const JpegEncoder &) = delete;

    // The next `count` rows, each `stride` bytes after the one before, each holding
    // size.width() RGB pixels. Rows past the picture's height are ignored.
    void addRows(const uchar *first, qsizetype stride, int count);
    // The encoded file once every row was added; empty if encoding failed. Call once.
    QByteArray finish();
    // After finish(): the memory of a progressive picture's coding, for the next encoder.
    std::shared_ptr<JpegScanCoder> takeScanCoder();

    // The whole picture (any format; made opaque on white first if it is not RGB888).
    static QByteArray encode(const QImage &image, const JpegSettings &settings);
    static QByteArray encode(const QImage &image, int quality) { return encode(image, JpegSettings{quality}); }

private:
    struct State;
    std::unique_ptr<State> m_state;
};
