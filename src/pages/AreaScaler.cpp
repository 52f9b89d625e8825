#include "pages/AreaScaler.h"

#include "pages/PageImaging.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QV_AREASCALER_AVX2 1
#endif

namespace {

// sums[b] += row[b] * weight for the first `bytes` bytes of a row; answers how many it
// did (whole blocks of 16), the rest is the caller's.
#if defined(QV_AREASCALER_AVX2)
__attribute__((target("avx2"))) int addWeightedAvx2(const uint8_t *row, uint16_t *sums, int bytes, uint16_t weight)
{
    const __m256i w = _mm256_set1_epi16(short(weight));
    int b = 0;
    for (; b + 32 <= bytes; b += 32) {
        const __m256i lo = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(row + b)));
        const __m256i hi = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(row + b + 16)));
        __m256i *a = reinterpret_cast<__m256i *>(sums + b);
        __m256i *c = reinterpret_cast<__m256i *>(sums + b + 16);
        _mm256_storeu_si256(a, _mm256_add_epi16(_mm256_loadu_si256(a), _mm256_mullo_epi16(lo, w)));
        _mm256_storeu_si256(c, _mm256_add_epi16(_mm256_loadu_si256(c), _mm256_mullo_epi16(hi, w)));
    }
    for (; b + 16 <= bytes; b += 16) {
        const __m256i in = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(row + b)));
        __m256i *a = reinterpret_cast<__m256i *>(sums + b);
        _mm256_storeu_si256(a, _mm256_add_epi16(_mm256_loadu_si256(a), _mm256_mullo_epi16(in, w)));
    }
    return b;
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");
#endif

constexpr int kOne = 256; // a weight of 1

// For every result index, the first source index it draws on and the share of each
// of the `taps` source indexes from there, summing to kOne. Returns taps.
int shares(int in, int out, std::vector<int> *start, std::vector<uint16_t> *weights)
{
    const double scale = double(in) / out;
    const int taps = std::min(in, int(std::ceil(scale)) + 1);
    start->assign(size_t(out), 0);
    weights->assign(size_t(out) * size_t(taps), 0);
    for (int o = 0; o < out; ++o) {
        const double from = o * scale, to = (o + 1) * scale;
        const int first = std::clamp(int(std::floor(from)), 0, in - taps);
        (*start)[size_t(o)] = first;
        uint16_t *w = weights->data() + size_t(o) * size_t(taps);
        int sum = 0, largest = 0;
        for (int j = 0; j < taps; ++j) {
            const double cover = std::min(to, double(first + j + 1)) - std::max(from, double(first + j));
            w[j] = uint16_t(cover > 0 ? std::lround(cover / scale * kOne) : 0);
            sum += w[j];
            if (w[j] > w[largest])
                largest = j;
        }
        w[largest] = uint16_t(w[largest] + kOne - sum); // rounding must not change the brightness
    }
    return taps;
}

inline uint32_t load32(const uint8_t *p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// One result row from a row already reduced in height. Two result pixels are made
// together: lanes 0-3 hold the first pixel's R, G, B (and a spare), lanes 4-7 the
// second's. Taps is a template argument for the common small counts so that the
// loop over them unrolls.
template<int FixedTaps>
void reduceColumns(const uint8_t *row, const int *start, const uint16_t *weights, int taps, int width, uint8_t *out,
                   bool roomForSpill)
{
    const int k = FixedTaps ? FixedTaps : taps;
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(kOne / 2);
    for (; x + 1 < width; x += 2) {
        const uint8_t *a = row + start[x], *b = row + start[x + 1];
        const uint16_t *w = weights + size_t(x / 2) * size_t(k) * 8;
        __m128i sum = half;
#pragma GCC unroll 4
        for (int j = 0; j < k; ++j) {
            const __m128i px = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(load32(a + 3 * j))),
                                                  _mm_cvtsi32_si128(int(load32(b + 3 * j))));
            const __m128i wj = _mm_loadu_si128(reinterpret_cast<const __m128i *>(w + 8 * j));
            sum = _mm_add_epi16(sum, _mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), wj));
        }
        const uint64_t v = uint64_t(_mm_cvtsi128_si64(_mm_packus_epi16(_mm_srli_epi16(sum, 8), zero)));
        const uint64_t two = (v & 0xFFFFFFull) | ((v >> 8) & 0xFFFFFF000000ull);
        // Eight bytes are written for six; the two extra are overwritten by the next
        // pair, or fall into the row's padding.
        std::memcpy(out, &two, (x + 3 < width || roomForSpill) ? 8 : 6);
        out += 6;
    }
#else
    Q_UNUSED(roomForSpill);
#endif
    for (; x < width; ++x) {
        const uint8_t *a = row + start[x];
        const uint16_t *w = weights + size_t(x / 2) * size_t(k) * 8 + (x % 2) * 4;
        for (int c = 0; c < 3; ++c) {
            unsigned sum = kOne / 2;
            for (int j = 0; j < k; ++j)
                sum += unsigned(w[8 * j]) * a[3 * j + c];
            *out++ = uint8_t(sum >> 8);
        }
    }
}

} // namespace

AreaScaler::AreaScaler(const QSize &from, const QSize &to, QImage memory)
    : m_from(from.expandedTo(QSize(1, 1))), m_to(to.boundedTo(m_from).expandedTo(QSize(1, 1)))
{
    if (memory.size() == m_to && memory.format() == QImage::Format_RGB888)
        m_result = std::move(memory);
    else
        m_result = QImage(m_to, QImage::Format_RGB888);

    std::vector<int> rowStart;
    std::vector<uint16_t> rowWeights;
    const int rowTaps = shares(m_from.height(), m_to.height(), &rowStart, &rowWeights);
    m_rowShares.assign(size_t(m_from.height()) * 2, Share());
    m_lastSourceRow.assign(size_t(m_to.height()), 0);
    for (int o = 0; o < m_to.height(); ++o)
        for (int j = 0; j < rowTaps; ++j) {
            const uint16_t w = rowWeights[size_t(o) * size_t(rowTaps) + size_t(j)];
            if (!w)
                continue;
            const int r = rowStart[size_t(o)] + j;
            Share *s = &m_rowShares[size_t(r) * 2];
            (s[0].weight ? s[1] : s[0]) = Share{o, w};
            m_lastSourceRow[size_t(o)] = r;
        }

    std::vector<uint16_t> columnWeights;
    m_taps = shares(m_from.width(), m_to.width(), &m_columnStart, &columnWeights);
    for (int &start : m_columnStart)
        start *= 3;
    const size_t pairs = size_t(m_to.width() + 1) / 2;
    m_columnWeights.assign(pairs * size_t(m_taps) * 8, 0);
    for (int x = 0; x < m_to.width(); ++x)
        for (int j = 0; j < m_taps; ++j)
            for (int lane = 0; lane < 4; ++lane)
                m_columnWeights[(size_t(x / 2) * size_t(m_taps) + size_t(j)) * 8 + size_t(x % 2) * 4 + size_t(lane)] =
                    columnWeights[size_t(x) * size_t(m_taps) + size_t(j)];

    // Whole 16-byte blocks, and room for reading 4 bytes at the last pixel.
    const size_t bytes = (size_t(m_from.width()) * 3 + 15) / 16 * 16;
    for (std::vector<uint16_t> &sums : m_sums)
        sums.assign(bytes, kOne / 2);
    m_row.assign(bytes + 16, 0);
}

void AreaScaler::addRows(const uchar *first, qsizetype stride, int count)
{
    const int bytes = m_from.width() * 3;
    for (int i = 0; i < count && m_nextRow < m_from.height(); ++i, ++m_nextRow) {
        const uchar *row = first + i * stride;
        const Share *rowShares = &m_rowShares[size_t(m_nextRow) * 2];
        for (int s = 0; s < 2; ++s) {
            const Share share = rowShares[s];
            if (!share.weight)
                continue;
            uint16_t *sums = m_sums[share.row & 1].data();
            int b = 0;
#if defined(QV_AREASCALER_AVX2)
            if (kHasAvx2)
                b = addWeightedAvx2(row, sums, bytes, share.weight);
#endif
#if defined(__SSE2__)
            const __m128i zero = _mm_setzero_si128();
            const __m128i w = _mm_set1_epi16(short(share.weight));
            for (; b + 16 <= bytes; b += 16) {
                const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + b));
                __m128i *lo = reinterpret_cast<__m128i *>(sums + b);
                __m128i *hi = reinterpret_cast<__m128i *>(sums + b + 8);
                _mm_storeu_si128(lo, _mm_add_epi16(_mm_loadu_si128(lo), _mm_mullo_epi16(_mm_unpacklo_epi8(in, zero), w)));
                _mm_storeu_si128(hi, _mm_add_epi16(_mm_loadu_si128(hi), _mm_mullo_epi16(_mm_unpackhi_epi8(in, zero), w)));
            }
#endif
            for (; b < bytes; ++b)
                sums[b] = uint16_t(sums[b] + row[b] * share.weight);
        }
        for (int s = 0; s < 2; ++s)
            if (rowShares[s].weight && m_lastSourceRow[size_t(rowShares[s].row)] == m_nextRow)
                finishRow(rowShares[s].row);
    }
}

void AreaScaler::finishRow(int row)
{
    uint16_t *sums = m_sums[row & 1].data();
    const size_t bytes = m_sums[0].size();
    size_t b = 0;
#if defined(__SSE2__)
    const __m128i half = _mm_set1_epi16(kOne / 2);
    for (; b + 16 <= bytes; b += 16) {
        __m128i *lo = reinterpret_cast<__m128i *>(sums + b);
        __m128i *hi = reinterpret_cast<__m128i *>(sums + b + 8);
        const __m128i packed =
            _mm_packus_epi16(_mm_srli_epi16(_mm_loadu_si128(lo), 8), _mm_srli_epi16(_mm_loadu_si128(hi), 8));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(m_row.data() + b), packed);
        _mm_storeu_si128(lo, half);
        _mm_storeu_si128(hi, half);
    }
#endif
    for (; b < bytes; ++b) {
        m_row[b] = uint8_t(sums[b] >> 8);
        sums[b] = kOne / 2;
    }

    uchar *out = m_result.scanLine(row);
    const int width = m_to.width();
    const bool roomForSpill = m_result.bytesPerLine() - qsizetype(width) * 3 >= 2;
    const int *start = m_columnStart.data();
    const uint16_t *w = m_columnWeights.data();
    switch (m_taps) {
    case 2: reduceColumns<2>(m_row.data(), start, w, m_taps, width, out, roomForSpill); break;
    case 3: reduceColumns<3>(m_row.data(), start, w, m_taps, width, out, roomForSpill); break;
    case 4: reduceColumns<4>(m_row.data(), start, w, m_taps, width, out, roomForSpill); break;
    case 8: reduceColumns<8>(m_row.data(), start, w, m_taps, width, out, roomForSpill); break; // thumbnails of pages
    default: reduceColumns<0>(m_row.data(), start, w, m_taps, width, out, roomForSpill); break;
    }
}

QImage AreaScaler::scaled(const QImage &image, const QSize &size)
{
    if (image.isNull())
        return {};
    const QImage source = image.format() == QImage::Format_RGB888 ? image : PageImaging::opaque(image);
    AreaScaler scaler(source.size(), size);
    scaler.addRows(source.constBits(), source.bytesPerLine(), source.height());
    return scaler.result();
}
