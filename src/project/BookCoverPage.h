#pragma once
// A book cover made into a page of the open book: its four page pictures (large,
// normal, thumbnail, phone) are made by a one-page picture source, then the page takes
// the place of a page or is inserted before one.
//
// Inserting keeps everything that follows a page with it: the four page lists, the
// search text of the desktop and the mobile book and the page annotations get a blank
// entry, and bookmarks and bookmark tabs pointing at a later page move on by one.
// Replacing a page swaps its pictures and clears its search text (the words are no
// longer on it); its annotations stay.
//
// The book remembers which pages its cover shows (BookParts::coverPages): the page its
// picture was taken from (sourcePage) and the page it became; inserting moves them on.

#include "pages/PageError.h"

#include <QSize>
#include <QString>

class BookDocument;
class FlashPageSource;

namespace BookCoverPage {

struct Pictures
{
    QString large, normal, thumb, phone;
    bool isComplete() const;
};

// Makes the pictures of a page showing picture in folder (made when missing), at the
// import quality level and fitted into the book's page box. Blocks: run it on a worker.
PageResult makePictures(const QString &picture, const QString &folder, int qualityLevel, const QSize &normalPageSize,
                        Pictures *pictures);

// The page (from 1) whose picture, of any size, picture is (a copy of it, even); 0
// when it is none of the book's pages.
int sourcePage(const FlashPageSource &source, const QString &picture);

enum class Placement { Replace = 1, Insert = 2 };

// Puts the page into the document at index (0-based; Insert accepts the page count for
// after the last page), and counts it among the pages the cover shows. False,
// changing nothing, when the index lies outside the book or the pictures are incomplete.
bool placePage(BookDocument &document, Placement placement, qint64 index, const Pictures &pictures);

} // namespace BookCoverPage
