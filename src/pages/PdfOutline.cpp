#include "pages/PdfOutline.h"

#include <poppler-qt6.h>

namespace PdfOutline {

int bookPageFor(int sourcePage, double horizontalPosition, const QList<PageUnit> &units)
{
    if (units.isEmpty() || sourcePage < 0)
        return 0;
    for (const PageUnit &unit : units) {
        if (unit.sourcePage == sourcePage)
            return unit.firstBookPage + (unit.split && horizontalPosition >= 0.5 ? 1 : 0);
        if (unit.sourcePage > sourcePage)
            return unit.firstBookPage;
    }
    return bookPageCount(units);
}

namespace {

FlashOutlineItemPtr convert(const Poppler::OutlineItem &source, const QList<PageUnit> &units)
{
    auto item = FlashOutlineItem::create(source.name().trimmed());
    if (const auto dest = source.destination()) {
        if (dest->pageNumber() > 0)
            item->setPageIndex(bookPageFor(dest->pageNumber() - 1, dest->isChangeLeft() ? dest->left() : -1, units));
    }
    if (item->pageIndex() == 0 && !source.uri().isEmpty())
        item->setPageUrl(source.uri());
    for (const Poppler::OutlineItem &child : source.children())
        item->appendChild(convert(child, units));
    return item;
}

} // namespace

std::shared_ptr<FlashOutline> read(const Poppler::Document &document, const QList<PageUnit> &units)
{
    auto outline = std::make_shared<FlashOutline>();
    for (const Poppler::OutlineItem &item : document.outline())
        outline->appendItem(convert(item, units));
    return outline;
}

} // namespace PdfOutline
