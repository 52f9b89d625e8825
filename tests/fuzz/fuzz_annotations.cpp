// Page annotations as saved in a project.
#include "FuzzModels.h"
#include "FuzzSupport.h"
#include "annotations/FlashPagesAnnotations.h"

// What was read, written and read again is the same, page by page.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    FlashPagesAnnotations annotations;
    if (annotations.loadFromXml(QString::fromUtf8(FuzzSupport::bytes(data, size)))) {
        FlashPagesAnnotations again;
        FuzzSupport::requireSame(again.loadFromXml(annotations.toXml())
                                     && FuzzModels::annotations(again) == FuzzModels::annotations(annotations),
                                 "annotations");
    }
    return 0;
}
