#pragma once
// The entropy coding of a progressive JPEG by spectral selection, done in one pass over
// the picture's coefficients.
//
// libjpeg codes a progressive picture by keeping every block's coefficients, then for
// each scan reading them all twice: once to count the symbols for Huffman tables made
// for the picture, once to write them. This coder takes libjpeg's place as entropy
// coder of a plain one-scan compression: it is handed each MCU's quantised blocks as
// libjpeg makes them, turns every scan's part of them into symbols at once (counting
// them on the way) and keeps only the symbols; the file is then written from them. The
// coefficients, so the decoded pixels, are libjpeg's own; the file is byte for byte the
// one libjpeg writes for the same script with optimize_coding.
//
// Scans are spectral selection without successive approximation: the first holds the
// DC coefficients of every component, the others each a band of one component's AC
// coefficients.

#include <QByteArray>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct jpeg_compress_struct;

class JpegScanCoder
{
public:
    struct Scan
    {
        int component = 0; // the AC scans' component (the DC scan has them all)
        int first = 0, last = 0; // the band, in zigzag order: 0..0 the DC scan
    };

    // The script of page pictures: the DC of every component, the first frequencies
    // of the luminance, each colour, the luminance's remaining detail.
    static const std::vector<Scan> &pageScript();

    // Codes by the script into memory kept from one picture to the next.
    explicit JpegScanCoder(std::vector<Scan> script = pageScript());
    ~JpegScanCoder();
    JpegScanCoder(const JpegScanCoder &) = delete;
    JpegScanCoder &operator=(const JpegScanCoder &) = delete;

    // Takes over the entropy coding of `cinfo`, which jpeg_start_compress started for
    // one interleaved sequential scan of all its components (whatever libjpeg writes
    // itself is then to be thrown away). False when the script does not fit the picture.
    bool attach(jpeg_compress_struct *cinfo);
    // Once jpeg_finish_compress returned: the whole file into `out` (its allocation is
    // used when large enough). False when coding failed or not every MCU came.
    bool write(QByteArray &out);

private:
    struct Component;
    struct ScanState;
    struct Entropy;
    class BitWriter;

    void encodeMcu(short (*const *blocks)[64]);
    void codeBlock(Component &component, const short *block, std::uint64_t mask);
    void codeBand(ScanState &scan, const short *block, std::uint64_t mask);
    void flushRun(ScanState &scan);
    // Room for `count` more symbols of the scan.
    static std::uint32_t *room(ScanState &scan, size_t count);

    std::vector<Scan> m_script;
    std::vector<ScanState> m_scans;
    std::vector<Component> m_components;
    jpeg_compress_struct *m_cinfo = nullptr;
    std::unique_ptr<Entropy> m_entropy;
    unsigned m_mcuX = 0, m_mcuY = 0, m_mcusPerRow = 0, m_mcuRows = 0;
    bool m_failed = false;
};
