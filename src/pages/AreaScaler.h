#pragma once
// Smooth reduction of a 24-bit RGB picture, fed a few rows at a time.
//
// Every result pixel is the average of the source area it covers (parts of source
// pixels on its edges counted by the part covered), the same filter as Qt's smooth
// scaling when reducing. The source is read once, front to back, so a page can be
// fed while its rows are still in the cache from encoding the large picture, and
// no 32-bit copy of the page is ever made.
//
// Only reduces: each side of the result must be no larger than the source's.
// Weights are kept in 1/256 steps; a result differs from the exact average by at
// most one or two levels.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <vector>

class AreaScaler
{
public:
    // `memory`, when it is an unshared RGB888 picture of the result's size, is
    // written into instead of allocating a new one.
    AreaScaler(const QSize &from, const QSize &to, QImage memory = QImage());

    // The next `count` source rows, each `stride` bytes after the one before, each
    // holding from.width() RGB pixels (3 bytes each).
    void addRows(const uchar *first, qsizetype stride, int count);
    bool isFinished() const { return m_nextRow >= m_from.height(); }
    // The result, RGB888; complete once every source row was added.
    const QImage &result() const { return m_result; }
    QImage takeResult() { return std::move(m_result); }

    // image (any format; made opaque on white first if it is not RGB888) reduced to size.
    static QImage scaled(const QImage &image, const QSize &size);

private:
    // A source row's part in a result row.
    struct Share
    {
        int row = -1;
        uint16_t weight = 0;
    };
    void finishRow(int row);

    QSize m_from, m_to;
    int m_nextRow = 0;
    std::vector<Share> m_rowShares;   // two per source row (a row is part of at most two result rows)
    std::vector<int> m_lastSourceRow; // per result row
    int m_taps = 0;                   // source columns a result column draws on
    std::vector<int> m_columnStart;   // per result column: byte offset of its first source pixel
    std::vector<uint16_t> m_columnWeights; // per pair of result columns and tap: 4 lanes each
    std::vector<uint16_t> m_sums[2];  // source bytes of the open result rows, weighted, times 256
    std::vector<uint8_t> m_row;       // a finished row reduced in height, before the columns
    QImage m_result;
};
