// A bookmark outline as saved (the project's and the outline file's form).
#include "FuzzModels.h"
#include "FuzzSupport.h"
#include "furnishings/FlashOutline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    FlashOutline outline;
    if (outline.fromXmlString(QString::fromUtf8(FuzzSupport::bytes(data, size)))) {
        FlashOutline again;
        FuzzSupport::requireSame(again.fromXmlString(outline.toXmlString())
                                     && FuzzModels::outline(again.items()) == FuzzModels::outline(outline.items()),
                                 "the outline");
    }
    return 0;
}
