#pragma once
// Small PDF documents made on the fly for the tests.

#include <QColor>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace PdfFixtures {

struct Page
{
    QString text;                 // drawn large near the top left
    QSizeF size{595, 842};        // in points (A4 portrait by default)
    QString rightText{};          // drawn on the right half when set
};

// Writes one page per entry: its text, a frame and a filled circle.
bool writePdf(const QString &path, const QList<Page> &pages);

// n A4 pages reading "Page 1", "Page 2", ...
bool writeNumberedPdf(const QString &path, int n);

// One page of sizeMm (in millimetres), all of color.
bool writeFilledPage(const QString &path, const QSizeF &sizeMm, const QColor &color);

struct Bookmark
{
    QString title;
    int page = 0;                 // page from 0 (ignored when uri is set)
    QString uri{};
    QList<Bookmark> children{};
    double left = -1;             // where on the page, in points; -1: fit the page
    QString named{};              // when set, the bookmark goes through this named destination
};

// Adds an outline to the PDF at path (rewritten in place).
bool addOutline(const QString &path, const QList<Bookmark> &bookmarks);

// Adds an outline of one bookmark per level, depth levels deep, each opening page 1.
bool addDeepOutline(const QString &path, int depth);

// Sets /Rotate on a page (from 0) of the PDF at path (rewritten in place).
bool rotatePage(const QString &path, int page, int degrees);

// Sets /CropBox of a page (from 0), in points from the lower left corner.
bool cropPage(const QString &path, int page, const QRectF &box);

// Writes an AES-256 protected copy of in to out.
bool encrypt(const QString &in, const QString &out, const QString &userPassword, const QString &ownerPassword);

} // namespace PdfFixtures
