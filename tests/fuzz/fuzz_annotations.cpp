// Page annotations as saved in a project.
#include "FuzzSupport.h"
#include "annotations/FlashPagesAnnotations.h"
#include <QStringList>

// What was read, written and read again is the same, page by page.
namespace {
QStringList pagesOf(const FlashPagesAnnotations &annotations)
{
    QStringList pages;
    for (int i = 0; i < annotations.count(); ++i)
        pages << annotations.pageAnnotations(i);
    return pages;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    FlashPagesAnnotations annotations;
    if (annotations.loadFromXml(QString::fromUtf8(FuzzSupport::bytes(data, size)))) {
        FlashPagesAnnotations again;
        FuzzSupport::requireSame(again.loadFromXml(annotations.toXml()) && pagesOf(again) == pagesOf(annotations),
                                 "annotations");
    }
    return 0;
}
