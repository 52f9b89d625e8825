#include "pages/JpegScanCoder.h"

#include <algorithm>
#include <bit>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <cstring>
#include <functional>
#include <new>
#include <jpeglib.h>
#include <jpegint.h> // the entropy coder's interface, to stand in for libjpeg's

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The natural (row by row) place of each zigzag position.
constexpr int kNatural[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                              12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                              35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                              58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// For each row of a block and each set of its nonzero columns, those coefficients'
// bits in zigzag order: a block's zigzag mask is eight look-ups.
struct ZigzagMasks
{
    std::uint64_t row[8][256];
    ZigzagMasks()
    {
        int zigzag[64];
        for (int k = 0; k < 64; ++k)
            zigzag[kNatural[k]] = k;
        for (int r = 0; r < 8; ++r)
            for (int bits = 0; bits < 256; ++bits) {
                std::uint64_t m = 0;
                for (int c = 0; c < 8; ++c)
                    if (bits & (1 << c))
                        m |= std::uint64_t(1) << zigzag[r * 8 + c];
                row[r][bits] = m;
            }
    }
};
const ZigzagMasks kZigzagMasks;

// Bit k set when the AC coefficient at zigzag position k is not zero (bit 0, the DC
// coefficient, is left out: a blank block's mask is 0).
std::uint64_t nonzeroMask(const JCOEF *block)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    std::uint64_t zeros = 0;
    for (int r = 0; r < 8; r += 2) {
        const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block + r * 8)), zero);
        const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block + r * 8 + 8)), zero);
        zeros |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_packs_epi16(a, b)))) << (r * 8);
    }
    const std::uint64_t natural = ~zeros & ~std::uint64_t(1);
#else
    std::uint64_t natural = 0;
    for (int i = 1; i < 64; ++i)
        natural |= std::uint64_t(block[i] != 0) << i;
#endif
    if (!natural)
        return 0;
    std::uint64_t mask = 0;
    for (int r = 0; r < 8; ++r)
        mask |= kZigzagMasks.row[r][(natural >> (r * 8)) & 0xFF];
    return mask;
}

// A symbol as kept until the file is written: the symbol, which table codes it, and
// the bits that follow its code (how many the symbol says).
constexpr std::uint32_t token(int symbol, int table, unsigned extra)
{
    return std::uint32_t(symbol) | std::uint32_t(table) << 8 | extra << 16;
}

// The count of bits after a symbol's code: a DC symbol is that count; an AC symbol's
// low half is, or for a run of blocks ending early (low half 0, but not the run of
// 16 zeros, 0xF0) its high half.
int extraBitCount(int symbol, bool dc)
{
    if (dc)
        return symbol;
    return (symbol & 15) || symbol == 0xF0 ? symbol & 15 : symbol >> 4;
}

// Bits needed for a magnitude (1..32767).
int bitCount(unsigned magnitude)
{
    return std::bit_width(magnitude);
}

// For each AC coefficient (-2048..2047, index v & 4095): its size (the low half of
// its symbol) and the bits that follow its code, as in a token.
struct AcTokens
{
    std::uint32_t of[4096];
    AcTokens()
    {
        for (int v = -2048; v < 2048; ++v) {
            const int size = bitCount(unsigned(v < 0 ? -v : v));
            of[v & 4095] = token(size, 0, unsigned(v < 0 ? v - 1 : v) & ((1u << size) - 1));
        }
    }
};
const AcTokens kAcTokens;

// A Huffman table made for the counts (ITU T.81 K.2, as libjpeg makes it: one code
// point kept back so that no code is all ones, of equal counts the greater symbol
// joined first, lengths limited to 16 bits).
struct HuffmanTable
{
    std::uint8_t bits[17] = {}; // count of codes of each length
    std::uint8_t values[256] = {};
    int valueCount = 0;
    // Each symbol's code followed by room for its extra bits, and the two's length.
    std::uint32_t code[256] = {};
    std::uint8_t length[256] = {};

    void make(const std::uint32_t counts[257], bool dc)
    {
        constexpr int kMaxLength = 32;
        int codeSize[257] = {}, others[257];
        std::fill(std::begin(others), std::end(others), -1);
        // The symbols by count, least first and of equal counts the greater value
        // first: the two least are joined, the pair taking the first one's place.
        std::vector<std::uint64_t> heap;
        heap.reserve(257);
        const auto key = [](std::uint64_t count, int symbol) { return count << 9 | std::uint64_t(256 - symbol); };
        for (int i = 0; i < 256; ++i)
            if (counts[i])
                heap.push_back(key(counts[i], i));
        heap.push_back(key(1, 256)); // the code point kept back
        std::make_heap(heap.begin(), heap.end(), std::greater<>());
        const auto pop = [&heap] {
            std::pop_heap(heap.begin(), heap.end(), std::greater<>());
            const std::uint64_t k = heap.back();
            heap.pop_back();
            return k;
        };
        while (heap.size() > 1) {
            const std::uint64_t first = pop(), second = pop();
            int c1 = 256 - int(first & 511), c2 = 256 - int(second & 511);
            heap.push_back(key((first >> 9) + (second >> 9), c1));
            std::push_heap(heap.begin(), heap.end(), std::greater<>());
            ++codeSize[c1];
            while (others[c1] >= 0) {
                c1 = others[c1];
                ++codeSize[c1];
            }
            others[c1] = c2;
            ++codeSize[c2];
            while (others[c2] >= 0) {
                c2 = others[c2];
                ++codeSize[c2];
            }
        }
        int lengths[kMaxLength + 1] = {};
        for (int i = 0; i <= 256; ++i)
            if (codeSize[i])
                ++lengths[std::min(codeSize[i], kMaxLength)];
        // Codes longer than 16 bits: a pair of them shortened, one shorter code lengthened.
        for (int i = kMaxLength; i > 16; --i)
            while (lengths[i] > 0) {
                int j = i - 2;
                while (lengths[j] == 0)
                    --j;
                lengths[i] -= 2;
                ++lengths[i - 1];
                lengths[j + 1] += 2;
                --lengths[j];
            }
        int longest = 16;
        while (lengths[longest] == 0)
            --longest;
        --lengths[longest]; // the code point kept back goes
        for (int i = 0; i <= 16; ++i)
            bits[i] = std::uint8_t(lengths[i]);
        valueCount = 0;
        for (int size = 1; size <= kMaxLength; ++size)
            for (int j = 0; j < 256; ++j)
                if (codeSize[j] == size)
                    values[valueCount++] = std::uint8_t(j);
        // The codes in order of length (T.81 C.2).
        unsigned next = 0;
        int p = 0;
        for (int size = 1; size <= 16; ++size) {
            for (int i = 0; i < bits[size]; ++i, ++p) {
                const int extra = extraBitCount(values[p], dc);
                code[values[p]] = std::uint32_t(next++) << extra;
                length[values[p]] = std::uint8_t(size + extra);
            }
            next <<= 1;
        }
    }
};

} // namespace

// The entropy coder libjpeg calls, pointing back at the coder.
struct JpegScanCoder::Entropy
{
    jpeg_entropy_encoder pub;
    JpegScanCoder *coder;

    static void startPass(j_compress_ptr, boolean) {}
    static void finishPass(j_compress_ptr) {}
    static boolean encodeMcu(j_compress_ptr cinfo, JBLOCKROW *blocks)
    {
        JpegScanCoder *coder = reinterpret_cast<Entropy *>(cinfo->entropy)->coder;
        if (!coder->m_failed) {
            try {
                coder->encodeMcu(blocks);
            } catch (const std::bad_alloc &) {
                coder->m_failed = true; // no exception passes through libjpeg
            }
        }
        return TRUE;
    }
};

struct JpegScanCoder::ScanState
{
    Scan scan;
    std::uint64_t band = 0; // the band's zigzag positions
    std::vector<std::uint32_t> tokens;
    size_t used = 0; // of tokens
    std::uint32_t counts[2][257] = {};
    unsigned endOfBlockRun = 0;
    HuffmanTable tables[2];
};

struct JpegScanCoder::Component
{
    int table = 0; // of its DC coefficients
    int mcuWidth = 1, mcuHeight = 1;
    unsigned widthInBlocks = 0, heightInBlocks = 0;
    int lastDc = 0;
    std::vector<ScanState *> bands; // its AC scans
    // The blocks below the first row of each MCU in this MCU row: coded once the row
    // above them is.
    std::vector<JCOEF> waiting;
    std::vector<std::uint64_t> waitingMasks; // a blank block's coefficients are not kept
};

const std::vector<JpegScanCoder::Scan> &JpegScanCoder::pageScript()
{
    // Spectral selection only, without successive approximation: the picture's coarse
    // whole first, its detail after; refinement scans would save a little more at
    // several times the encoding work.
    static const std::vector<Scan> script{
        {0, 0, 0},  // DC of all components
        {0, 1, 5},  // luminance, the first frequencies
        {1, 1, 63}, // colour
        {2, 1, 63},
        {0, 6, 63}, // luminance, the rest
    };
    return script;
}

JpegScanCoder::JpegScanCoder(std::vector<Scan> script) : m_script(std::move(script)), m_scans(m_script.size())
{
}

JpegScanCoder::~JpegScanCoder() = default;

bool JpegScanCoder::attach(jpeg_compress_struct *cinfo)
{
    m_cinfo = cinfo;
    m_failed = false;
    m_mcuX = m_mcuY = 0;
    m_mcusPerRow = cinfo->MCUs_per_row;
    m_mcuRows = cinfo->MCU_rows_in_scan;
    const int componentCount = cinfo->num_components;
    if (cinfo->comps_in_scan != componentCount || cinfo->restart_interval != 0 || m_script.empty()
        || m_script.front().first != 0 || m_script.front().last != 0)
        return false;
    m_components.resize(size_t(componentCount));
    for (int ci = 0; ci < componentCount; ++ci) {
        const jpeg_component_info &info = cinfo->comp_info[ci];
        Component &c = m_components[size_t(ci)];
        c.table = info.dc_tbl_no;
        c.mcuWidth = info.MCU_width;
        c.mcuHeight = info.MCU_height;
        c.widthInBlocks = info.width_in_blocks;
        c.heightInBlocks = info.height_in_blocks;
        c.lastDc = 0;
        c.bands.clear();
        c.waitingMasks.resize(size_t(c.mcuHeight - 1) * m_mcusPerRow * size_t(c.mcuWidth));
        c.waiting.resize(c.waitingMasks.size() * DCTSIZE2);
        if (cinfo->cur_comp_info[ci] != &cinfo->comp_info[ci] || info.dc_tbl_no > 1 || info.ac_tbl_no > 1)
            return false;
    }
    for (size_t i = 0; i < m_script.size(); ++i) {
        const Scan &scan = m_script[i];
        ScanState &state = m_scans[i];
        state.scan = scan;
        state.used = 0;
        std::memset(state.counts, 0, sizeof state.counts);
        state.endOfBlockRun = 0;
        state.band = 0;
        if (i == 0)
            continue;
        if (scan.first < 1 || scan.first > scan.last || scan.last > 63 || scan.component < 0
            || scan.component >= componentCount)
            return false;
        for (int k = scan.first; k <= scan.last; ++k)
            state.band |= std::uint64_t(1) << k;
        // A coefficient goes into one scan only.
        Component &c = m_components[size_t(scan.component)];
        for (const ScanState *other : c.bands)
            if (other->band & state.band)
                return false;
        c.bands.push_back(&state);
    }
    // An estimate of the symbols, to grow the lists seldom: a DC symbol a block, a few
    // AC symbols for most blocks of a page.
    const size_t blocks = size_t(m_mcusPerRow) * m_mcuRows * size_t(cinfo->blocks_in_MCU);
    for (ScanState &scan : m_scans)
        if (scan.tokens.size() < blocks)
            scan.tokens.resize(blocks);

    if (!m_entropy)
        m_entropy.reset(new Entropy{{Entropy::startPass, Entropy::encodeMcu, Entropy::finishPass}, this});
    cinfo->entropy = &m_entropy->pub;
    return true;
}

void JpegScanCoder::encodeMcu(JCOEF (*const *blocks)[64])
{
    if (m_mcuY >= m_mcuRows)
        return;
    ScanState &dc = m_scans[0];
    std::uint32_t *dcOut = room(dc, size_t(m_cinfo->blocks_in_MCU));
    int blockIndex = 0;
    for (Component &c : m_components) {
        for (int y = 0; y < c.mcuHeight; ++y) {
            for (int x = 0; x < c.mcuWidth; ++x, ++blockIndex) {
                const JCOEF *block = *blocks[blockIndex];
                // DC: every block of the MCU, its difference to the component's last.
                const int diff = block[0] - c.lastDc;
                c.lastDc = block[0];
                const int size = bitCount(unsigned(diff < 0 ? -diff : diff));
                *dcOut++ = token(size, c.table, unsigned(diff + (diff >> 31)) & ((1u << size) - 1));
                ++dc.counts[c.table][size];
                // AC: only the picture's own blocks, row by row of the component.
                const unsigned column = m_mcuX * unsigned(c.mcuWidth) + unsigned(x);
                const unsigned row = m_mcuY * unsigned(c.mcuHeight) + unsigned(y);
                if (c.bands.empty() || column >= c.widthInBlocks || row >= c.heightInBlocks)
                    continue;
                const std::uint64_t mask = nonzeroMask(block);
                if (y == 0) {
                    codeBlock(c, block, mask);
                } else {
                    const size_t at = size_t(y - 1) * m_mcusPerRow * unsigned(c.mcuWidth) + column;
                    c.waitingMasks[at] = mask;
                    if (mask)
                        std::memcpy(&c.waiting[at * DCTSIZE2], block, sizeof(JCOEF) * DCTSIZE2);
                }
            }
        }
    }
    dc.used = size_t(dcOut - dc.tokens.data());
    if (++m_mcuX < m_mcusPerRow)
        return;
    // The MCU row is complete: the rows below the first follow it.
    for (Component &c : m_components) {
        if (c.bands.empty())
            continue;
        const unsigned firstRow = m_mcuY * unsigned(c.mcuHeight);
        const unsigned rows = std::min(unsigned(c.mcuHeight), c.heightInBlocks - std::min(firstRow, c.heightInBlocks));
        const size_t perRow = size_t(m_mcusPerRow) * unsigned(c.mcuWidth);
        for (unsigned y = 1; y < rows; ++y)
            for (unsigned column = 0; column < c.widthInBlocks; ++column) {
                const size_t at = (y - 1) * perRow + column;
                codeBlock(c, &c.waiting[at * DCTSIZE2], c.waitingMasks[at]);
            }
    }
    m_mcuX = 0;
    ++m_mcuY;
}

void JpegScanCoder::codeBlock(Component &component, const JCOEF *block, std::uint64_t mask)
{
    if (mask) {
        for (ScanState *scan : component.bands)
            codeBand(*scan, block, mask);
        return;
    }
    // A blank block: one more in each band's run of blocks ending early.
    for (ScanState *scan : component.bands)
        if (++scan->endOfBlockRun == 0x7FFF)
            flushRun(*scan);
}

void JpegScanCoder::codeBand(ScanState &scan, const JCOEF *block, std::uint64_t mask)
{
    mask &= scan.band;
    if (mask) {
        if (scan.endOfBlockRun)
            flushRun(scan);
        // At most a symbol for each coefficient and three runs of 16 zeros.
        std::uint32_t *out = room(scan, 64 + 3);
        std::uint32_t *const counts = scan.counts[0];
        int previous = scan.scan.first - 1;
        do {
            const int k = std::countr_zero(mask);
            mask &= mask - 1;
            int run = k - previous - 1;
            previous = k;
            for (; run > 15; run -= 16) {
                *out++ = token(0xF0, 0, 0);
                ++counts[0xF0];
            }
            // Coefficients lie within -1023..1023 (8-bit samples); the mask keeps the
            // look-up inside its table whatever comes.
            const std::uint32_t t = kAcTokens.of[block[kNatural[k]] & 4095] | std::uint32_t(run) << 4;
            *out++ = t;
            ++counts[t & 0xFF];
        } while (mask);
        scan.used = size_t(out - scan.tokens.data());
        if (previous == scan.scan.last)
            return;
    }
    // The band ends in zeros: one more block in the run of such blocks.
    if (++scan.endOfBlockRun == 0x7FFF)
        flushRun(scan);
}

void JpegScanCoder::flushRun(ScanState &scan)
{
    const int size = bitCount(scan.endOfBlockRun) - 1;
    *room(scan, 1) = token(size << 4, 0, scan.endOfBlockRun & ((1u << size) - 1));
    ++scan.used;
    ++scan.counts[0][size << 4];
    scan.endOfBlockRun = 0;
}

std::uint32_t *JpegScanCoder::room(ScanState &scan, size_t count)
{
    if (scan.tokens.size() - scan.used < count)
        scan.tokens.resize(std::max(scan.tokens.size() * 2, scan.used + count));
    return scan.tokens.data() + scan.used;
}

// Entropy-coded bytes, a 0 after every 0xFF, into memory reserved before.
class JpegScanCoder::BitWriter
{
public:
    explicit BitWriter(QByteArray &out) : m_out(out) {}

    // Room for n more bytes.
    void reserve(qsizetype n)
    {
        const qsizetype used = m_at;
        if (m_out.size() < used + n)
            m_out.resize(std::max(used + n, m_out.size() * 2));
        m_data = reinterpret_cast<std::uint8_t *>(m_out.data());
    }
    void byte(int b) { m_data[m_at++] = std::uint8_t(b); }
    void word(int w)
    {
        byte(w >> 8);
        byte(w & 0xFF);
    }
    void marker(int m)
    {
        byte(0xFF);
        byte(m);
    }

    // A scan's symbols; `codes` holds for each token's low nine bits (its table and
    // symbol) the symbol's code shifted over its extra bits, and above them the length
    // of the two. The last byte is filled with ones.
    void symbols(const std::uint32_t *tokens, size_t count, const std::uint64_t *codes)
    {
        // Bits gather in a 64-bit word, the oldest highest, and go out eight bytes at
        // a time. Bits of a code above those still to go out are shifted out later.
        std::uint64_t buffer = 0;
        int free = 64;
        std::uint8_t *at = m_data + m_at;
        for (size_t i = 0; i < count; ++i) {
            const std::uint32_t t = tokens[i];
            const std::uint64_t code = codes[t & 0x1FF];
            const int length = int(code >> 32);
            const std::uint32_t bits = std::uint32_t(code) | t >> 16;
            if (length < free) {
                buffer = buffer << length | bits;
                free -= length;
                continue;
            }
            const int rest = length - free; // free < 64 here
            at = put(at, buffer << free | std::uint64_t(bits) >> rest);
            buffer = bits;
            free = 64 - rest;
        }
        const int used = 64 - free, pad = (8 - used % 8) % 8;
        buffer = buffer << pad | ((std::uint64_t(1) << pad) - 1);
        for (int shift = used + pad - 8; shift >= 0; shift -= 8)
            at = stuffed(at, std::uint8_t(buffer >> shift));
        m_at = at - m_data;
    }
    qsizetype size() const { return m_at; }

private:
    static std::uint8_t *stuffed(std::uint8_t *at, std::uint8_t b)
    {
        *at++ = b;
        if (b == 0xFF)
            *at++ = 0;
        return at;
    }
    static std::uint8_t *put(std::uint8_t *at, std::uint64_t w)
    {
        // No byte 0xFF (no zero byte in the complement): the eight bytes as they are.
        const std::uint64_t inverse = ~w;
        if (((inverse - 0x0101010101010101ull) & ~inverse & 0x8080808080808080ull) == 0) {
            const std::uint64_t bigEndian = __builtin_bswap64(w);
            std::memcpy(at, &bigEndian, 8);
            return at + 8;
        }
        for (int shift = 56; shift >= 0; shift -= 8)
            at = stuffed(at, std::uint8_t(w >> shift));
        return at;
    }

    QByteArray &m_out;
    std::uint8_t *m_data = nullptr;
    qsizetype m_at = 0;
};

bool JpegScanCoder::write(QByteArray &out)
{
    if (m_failed || !m_cinfo || m_mcuY < m_mcuRows)
        return false;
    const jpeg_compress_struct &cinfo = *m_cinfo;
    BitWriter w(out);
    w.reserve(1024);
    // What libjpeg writes before the frame: the file's start and the JFIF marker.
    w.marker(0xD8);
    if (cinfo.write_JFIF_header) {
        w.marker(0xE0);
        w.word(16);
        for (const char c : {'J', 'F', 'I', 'F', '\0'})
            w.byte(c);
        w.byte(cinfo.JFIF_major_version);
        w.byte(cinfo.JFIF_minor_version);
        w.byte(cinfo.density_unit);
        w.word(cinfo.X_density);
        w.word(cinfo.Y_density);
        w.byte(0);
        w.byte(0);
    }
    // The quantisation tables in the order the components use them, each once.
    bool tableWritten[NUM_QUANT_TBLS] = {};
    for (int ci = 0; ci < cinfo.num_components; ++ci) {
        const int q = cinfo.comp_info[ci].quant_tbl_no;
        const JQUANT_TBL *table = cinfo.quant_tbl_ptrs[q];
        if (!table || tableWritten[q])
            continue;
        tableWritten[q] = true;
        const bool wide = std::any_of(std::begin(table->quantval), std::end(table->quantval), [](UINT16 v) { return v > 255; });
        w.marker(0xDB);
        w.word(wide ? 2 + 1 + 128 : 2 + 1 + 64);
        w.byte((wide ? 0x10 : 0) | q);
        for (int k = 0; k < 64; ++k) {
            if (wide)
                w.byte(table->quantval[kNatural[k]] >> 8);
            w.byte(table->quantval[kNatural[k]] & 0xFF);
        }
    }
    // The frame: progressive, Huffman coded.
    w.marker(0xC2);
    w.word(8 + 3 * cinfo.num_components);
    w.byte(cinfo.data_precision);
    w.word(int(cinfo.image_height));
    w.word(int(cinfo.image_width));
    w.byte(cinfo.num_components);
    for (int ci = 0; ci < cinfo.num_components; ++ci) {
        const jpeg_component_info &c = cinfo.comp_info[ci];
        w.byte(c.component_id);
        w.byte(c.h_samp_factor << 4 | c.v_samp_factor);
        w.byte(c.quant_tbl_no);
    }

    for (size_t i = 0; i < m_scans.size(); ++i) {
        ScanState &scan = m_scans[i];
        const bool isDc = i == 0;
        if (!isDc && scan.endOfBlockRun)
            flushRun(scan);
        // The scan's tables, made for its symbols, each written once: the DC scan's in
        // the order its components name them, an AC scan's one.
        std::uint64_t bitsNeeded = 0;
        const auto writeTable = [&](int t, int classAndIndex) {
            HuffmanTable &table = scan.tables[t];
            table.make(scan.counts[t], isDc);
            w.reserve(2 + 2 + 1 + 16 + table.valueCount);
            w.marker(0xC4);
            w.word(2 + 1 + 16 + table.valueCount);
            w.byte(classAndIndex);
            for (int l = 1; l <= 16; ++l)
                w.byte(table.bits[l]);
            for (int v = 0; v < table.valueCount; ++v)
                w.byte(table.values[v]);
            for (int s = 0; s < 256; ++s)
                bitsNeeded += std::uint64_t(scan.counts[t][s]) * table.length[s];
        };
        if (isDc) {
            bool written[2] = {};
            for (const Component &c : m_components)
                if (!written[c.table]) {
                    written[c.table] = true;
                    writeTable(c.table, c.table);
                }
        } else {
            writeTable(0, 0x10 | cinfo.comp_info[scan.scan.component].ac_tbl_no);
        }
        // The scan's header; then its data, at most twice its bytes with the stuffing.
        const int componentsInScan = isDc ? cinfo.num_components : 1;
        w.reserve(qsizetype(2 + 2 + 1 + 2 * componentsInScan + 3 + 2 * (bitsNeeded / 8 + 8)));
        w.marker(0xDA);
        w.word(2 + 1 + 2 * componentsInScan + 3);
        w.byte(componentsInScan);
        if (isDc) {
            for (int ci = 0; ci < cinfo.num_components; ++ci) {
                w.byte(cinfo.comp_info[ci].component_id);
                w.byte(cinfo.comp_info[ci].dc_tbl_no << 4);
            }
        } else {
            const jpeg_component_info &c = cinfo.comp_info[scan.scan.component];
            w.byte(c.component_id);
            w.byte(c.ac_tbl_no);
        }
        w.byte(scan.scan.first);
        w.byte(scan.scan.last);
        w.byte(0);
        std::uint64_t codes[512] = {};
        for (int t = 0; t < 2; ++t)
            for (int symbol = 0; symbol < 256; ++symbol)
                codes[t << 8 | symbol] = std::uint64_t(scan.tables[t].length[symbol]) << 32 | scan.tables[t].code[symbol];
        w.symbols(scan.tokens.data(), scan.used, codes);
    }
    w.reserve(2);
    w.marker(0xD9);
    out.resize(w.size());
    return true;
}
