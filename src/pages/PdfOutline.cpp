#include "pages/PdfOutline.h"

#include "foundation/AppStrings.h"
#include "foundation/InputLimits.h"

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
    return item;
}

} // namespace

std::shared_ptr<FlashOutline> read(const Poppler::Document &document, const QList<PageUnit> &units, PageResult *result)
{
    const auto refuse = [&](const QString &why) -> std::shared_ptr<FlashOutline> {
        if (result)
            *result = PageResult::failure(
                PageError::DamagedFile,
                loadAppString(QStringLiteral("PageImport-The bookmarks of the PDF cannot be read: they are %1."),
                              QStringLiteral("The bookmarks of the PDF cannot be read: they are %1."))
                    .arg(why));
        return nullptr;
    };
    // Level by level with a stack of the bookmarks still to convert; poppler reads
    // each level only when asked, so a PDF whose bookmarks lead round in a circle or
    // go on for ever stops at the limits.
    struct Pending
    {
        Poppler::OutlineItem source;
        FlashOutlineItemPtr parent; // null at the top
        int level;
    };
    auto outline = std::make_shared<FlashOutline>();
    QList<Pending> pending;
    const QList<Poppler::OutlineItem> top = document.outline();
    for (auto it = top.crbegin(); it != top.crend(); ++it)
        pending.append({*it, nullptr, 1});
    int count = 0;
    while (!pending.isEmpty()) {
        const Pending next = pending.takeLast();
        if (next.level > InputLimits::kMaxNesting)
            return refuse(InputLimits::nestedTooDeep());
        if (++count > InputLimits::kMaxOutlineItems)
            return refuse(QStringLiteral("more than %1").arg(InputLimits::kMaxOutlineItems));
        const FlashOutlineItemPtr item = convert(next.source, units);
        item->setLevel(next.level);
        if (next.parent) {
            item->setParent(next.parent);
            next.parent->childItems().append(item);
        } else {
            outline->items().append(item);
        }
        if (!next.source.hasChildren())
            continue;
        const QList<Poppler::OutlineItem> children = next.source.children();
        for (auto it = children.crbegin(); it != children.crend(); ++it)
            pending.append({*it, item, next.level + 1});
    }
    return outline;
}

} // namespace PdfOutline
