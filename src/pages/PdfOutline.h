#pragma once
// The bookmarks of a PDF as the book's outline. A bookmark opens the book page its
// PDF page became: the right half of a split page when it points into that half; a
// page left out by the page range gives the next page that was kept (the last page
// when none follows). Web-address bookmarks keep their address.

#include "furnishings/FlashOutline.h"
#include "pages/PageError.h"
#include "pages/PageUnit.h"

#include <memory>

namespace Poppler {
class Document;
}

namespace PdfOutline {

// Null, with the reason in *result, when the bookmarks go deeper than
// InputLimits::kMaxNesting levels or number more than InputLimits::kMaxOutlineItems.
std::shared_ptr<FlashOutline> read(const Poppler::Document &document, const QList<PageUnit> &units,
                                   PageResult *result = nullptr);

// The book page for PDF page sourcePage (from 0); horizontalPosition is where on
// the page the bookmark points, 0 (left edge) to 1, or negative when unknown.
int bookPageFor(int sourcePage, double horizontalPosition, const QList<PageUnit> &units);

} // namespace PdfOutline
