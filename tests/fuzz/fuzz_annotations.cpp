// Page annotations as saved in a project.
#include "FuzzSupport.h"
#include "annotations/FlashPagesAnnotations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    FlashPagesAnnotations annotations;
    if (annotations.loadFromXml(QString::fromUtf8(FuzzSupport::bytes(data, size))))
        annotations.toXml();
    return 0;
}
