#pragma once
// Writes the pictures of book pages (see PageImaging.h) from the pictures of their
// source pages.
//
// A source picture's rows are read once, in bands; each band goes to the large
// JPEG and to the reductions of every book page cut from it while it is in the
// cache. A picture of the same size as one already made is not encoded again, nor
// written again: it is the other picture's file (the path of the part says which). The
// writer keeps its working memory from one page to the next, so that pages do not
// each fault in fresh memory: keep one writer per worker thread.

#include "pages/FlashPage.h"
#include "pages/PageError.h"
#include "pages/PageImaging.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <memory>
#include <vector>

class JpegScanCoder;

class PagePictureWriter
{
public:
    // One book page cut from a source picture, and where its pictures go.
    struct Part
    {
        FlashPage::Part part = FlashPage::Part::Whole;
        PageImaging::PagePicturePaths paths;
        // paths.large is the large picture's file already (the picture being read):
        // it is not written, and pictures of its size are that file.
        bool largeExists = false;
    };

    // normalBox: the book's page box the normal pictures are fitted into.
    explicit PagePictureWriter(const QSize &normalBox);

    // Writes the pictures of every part of `page` (opaque; RGB888 is taken as it is,
    // other formats are converted first). Stops at the first failure. Each part's paths
    // then name the files that hold its pictures: a picture the same as the large one
    // (or a phone picture the same as the normal one) is that picture's file.
    PageResult write(const QImage &page, QList<Part> &parts);

private:
    // Memory kept for the book page at the same place in the parts list.
    struct Memory
    {
        QImage normal, phone;
        QByteArray large, normalJpeg;
        std::shared_ptr<JpegScanCoder> largeCoder, normalCoder;
    };

    QSize m_normalBox;
    std::vector<Memory> m_memory;
};
