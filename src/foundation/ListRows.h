#pragma once
// Moving and removing rows of a list the way the program's list editors do: the
// chosen rows travel as one block in their old order. Every operation first cleans the
// rows it is given (rows outside the list and repeats dropped, the rest sorted) and
// answers the rows the moved entries stand at afterwards (empty when nothing moved).

#include <QList>
#include <algorithm>

namespace ListRows {

inline QList<int> clean(const QList<int> &rows, qsizetype count)
{
    QList<int> out;
    for (int row : rows)
        if (row >= 0 && row < count && !out.contains(row))
            out << row;
    std::sort(out.begin(), out.end());
    return out;
}

// Takes the clean rows out and puts them back together from position at on.
template <class T>
QList<int> placeBlock(QList<T> &list, const QList<int> &cleanRows, int at)
{
    QList<T> block;
    for (int row : cleanRows)
        block << list.at(row);
    for (auto it = cleanRows.crbegin(); it != cleanRows.crend(); ++it)
        list.removeAt(*it);
    at = std::clamp(at, 0, int(list.size()));
    QList<int> placed;
    for (int i = 0; i < block.size(); ++i) {
        list.insert(at + i, block.at(i));
        placed << at + i;
    }
    return placed;
}

// The block starts one above the first row.
template <class T>
QList<int> moveUp(QList<T> &list, const QList<int> &rows)
{
    const QList<int> c = clean(rows, list.size());
    if (c.isEmpty() || c.first() == 0)
        return {};
    return placeBlock(list, c, c.first() - 1);
}

// The block ends one below the last row.
template <class T>
QList<int> moveDown(QList<T> &list, const QList<int> &rows)
{
    const QList<int> c = clean(rows, list.size());
    if (c.isEmpty() || c.last() >= list.size() - 1)
        return {};
    return placeBlock(list, c, c.last() + 2 - int(c.size()));
}

// The block lands before the entry that stood at row (outside the list: at the end).
template <class T>
QList<int> moveTo(QList<T> &list, const QList<int> &rows, int row)
{
    const QList<int> c = clean(rows, list.size());
    if (c.isEmpty())
        return {};
    if (row < 0 || row > list.size())
        row = int(list.size());
    const int above = int(std::count_if(c.cbegin(), c.cend(), [row](int r) { return r < row; }));
    return placeBlock(list, c, row - above);
}

// True when something was removed.
template <class T>
bool remove(QList<T> &list, const QList<int> &rows)
{
    const QList<int> c = clean(rows, list.size());
    for (auto it = c.crbegin(); it != c.crend(); ++it)
        list.removeAt(*it);
    return !c.isEmpty();
}

} // namespace ListRows
