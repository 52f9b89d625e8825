// A bookmark outline as saved (the project's and the outline file's form).
#include "FuzzSupport.h"
#include "furnishings/FlashOutline.h"

namespace {
// Everything an outline holds: caption, page, address and level of each bookmark, in order.
QString shape(const QList<FlashOutlineItemPtr> &items)
{
    QString text;
    for (const FlashOutlineItemPtr &item : items)
        text += QStringLiteral("%1|%2|%3|%4[%5]").arg(item->caption()).arg(item->pageIndex()).arg(item->pageUrl())
                    .arg(item->level()).arg(shape(item->childItems()));
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    FlashOutline outline;
    if (outline.fromXmlString(QString::fromUtf8(FuzzSupport::bytes(data, size)))) {
        FlashOutline again;
        FuzzSupport::requireSame(again.fromXmlString(outline.toXmlString()) && shape(again.items()) == shape(outline.items()),
                                 "the outline");
    }
    return 0;
}
