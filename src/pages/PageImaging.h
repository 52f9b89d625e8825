#pragma once
// The pictures of a page and how they are made from one another.
//
// Every book page has four pictures, all JPEG:
//   large   the page rendered once at the import quality's resolution (for a PDF
//           page; a picture page is its picture, made no larger than a page at that
//           resolution would be)
//   normal  the large picture fitted into the book's page box (the template's page
//           size, 1080 x 1440 unless set), never enlarged; a large picture that is
//           at most kPageBoxSlack larger than the box is taken as it is
//   thumb   the normal picture scaled to 200 pixels high (at most 600 wide)
//   phone   the large picture fitted into 1080 x 1440 for the mobile book (the same
//           slack applies)
// normal, thumb and phone are always scaled from the large picture (or from the
// render it was encoded from), never rendered again. A picture of the large
// picture's size is the large picture's file, byte for byte: the book then needs
// it once.

#include "pages/FlashPage.h"
#include "pages/JpegEncoder.h"
#include "pages/PageError.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace PageImaging {

inline constexpr QSize kDefaultNormalPageSize{1080, 1440};
inline constexpr QSize kPhonePageBox{1080, 1440};
inline constexpr int kThumbHeight = 200;
inline constexpr int kThumbMaxWidth = 600;
// JPEG settings of each kind (bench/picture_bench measures them): Huffman tables made
// for each picture, and progressive scans for the pictures of page size, which shows
// a whole page early while it arrives; thumbnails are small enough to come at once.
inline constexpr JpegSettings kLargeJpeg{75, true, true};
inline constexpr JpegSettings kNormalJpeg{75, true, true};
inline constexpr JpegSettings kSmallJpeg{80, true, true};
inline constexpr JpegSettings kThumbJpeg{80, true, false};
inline constexpr JpegSettings kPhoneJpeg = kNormalJpeg;
// A render never exceeds this many pixels (40 MP, 160 MB in memory): a poster-sized
// page is rendered at a lower resolution instead of exhausting memory.
inline constexpr qint64 kMaxRenderPixels = 40'000'000;
// Nor is either side longer than a JPEG picture can be (65,500 pixels): a page as
// long and thin as a paper strip is rendered smaller to fit.
inline constexpr int kMaxPictureSide = 65'500;
// Pictures are limited to the long side of an A4 page at the import resolution.
inline constexpr double kPictureLongSideInches = 11.69;

// How much larger than a page box (on each side) a picture may be and still be shown
// as it is: scaling it down would hardly save bytes and cost a second encoding.
inline constexpr double kPageBoxSlack = 1.15;

// The resolution to render a page of this size (in points) at, for the wanted
// resolution: lower when the render would pass kMaxRenderPixels or kMaxPictureSide.
double renderDpi(const QSizeF &pageSizePoints, double dpi);

// size fitted into box keeping its proportions, never larger than size itself.
QSize fittedSize(const QSize &size, const QSize &box);
// The size of the picture made from one of this size for a page box: size itself
// when it is within the box's slack, else fitted into the box.
QSize pageBoxSize(const QSize &size, const QSize &box);
QSize thumbSize(const QSize &size);
// The small picture of a normal picture of this size: half as wide and high.
QSize smallSize(const QSize &size);

// The picture as opaque 24-bit RGB; transparent parts become white (JPEG has no
// transparency, and black would hide dark text).
QImage opaque(const QImage &image);

// The columns of a picture of this size that make the whole page, or its left or
// right half.
QRect partRect(const QSize &size, FlashPage::Part part);

// Writes bytes to path (its folder must exist); false with a message on failure.
PageResult writeFile(const QString &path, const QByteArray &bytes);

// Where the pictures of one page go; an empty path is not written.
struct PagePicturePaths
{
    QString large, normal, thumb, phone;
};

} // namespace PageImaging
