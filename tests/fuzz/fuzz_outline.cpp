// A bookmark outline as saved (the project's and the outline file's form).
#include "FuzzSupport.h"
#include "furnishings/FlashOutline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    FlashOutline outline;
    if (outline.fromXmlString(QString::fromUtf8(FuzzSupport::bytes(data, size)))) {
        // What is written reads back whole.
        FlashOutline again;
        if (!again.fromXmlString(outline.toXmlString()) || again.totalCount() != outline.totalCount())
            __builtin_trap();
    }
    return 0;
}
