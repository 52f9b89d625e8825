#pragma once
// One page of a source document (a PDF page or a picture, counted from 0) as it
// enters the book: whole, or split into a left and a right book page. firstBookPage
// is the book page number (from 1) of the whole page or of its left half.

#include <QList>

struct PageUnit
{
    int sourcePage = 0;
    bool split = false;
    int firstBookPage = 1;

    int bookPageCount() const { return split ? 2 : 1; }
    friend bool operator==(const PageUnit &, const PageUnit &) = default;
};

// Total number of book pages of a plan.
inline int bookPageCount(const QList<PageUnit> &units)
{
    return units.isEmpty() ? 0 : units.last().firstBookPage + units.last().bookPageCount() - 1;
}
