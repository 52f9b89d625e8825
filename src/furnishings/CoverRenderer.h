#pragma once
// Draws a book cover from a source picture under a CoverDesign: the background, the
// picture in its frame turned in perspective, its soft shadow and the title.
//
// A render makes its pictures (background, picture, shadow, title) at the same time,
// one per worker of the renderer's own thread pool, then blurs the shadow in bands
// on every worker and lays the pictures over each other. The pool holds one thread
// per core unless told otherwise (threadCount).

#include "furnishings/CoverDesign.h"

#include <QImage>
#include <QPolygonF>
#include <QThreadPool>

class CoverRenderer
{
public:
    // threads <= 0: one per core.
    explicit CoverRenderer(int threads = 0);
    ~CoverRenderer();
    CoverRenderer(const CoverRenderer &) = delete;
    CoverRenderer &operator=(const CoverRenderer &) = delete;

    int threadCount() const;

    // The cover, canvas-sized, opaque (Format_RGB32). A null source draws the cover
    // without a picture (background and title only).
    QImage render(const QImage &source, const CoverDesign &design);

    // Where the framed picture lies on the canvas (its four corners: top left, top
    // right, bottom right, bottom left); empty for a null source size.
    static QPolygonF pictureQuad(const QSize &sourceSize, const CoverDesign &design);

private:
    QThreadPool m_pool;
};
