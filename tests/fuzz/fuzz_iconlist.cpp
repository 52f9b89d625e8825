// The list file of the extra toolbar icons, and the list written back from it.
#include "FuzzSupport.h"
#include "furnishings/OtherIconItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString file = FuzzSupport::writeScratchFile(QStringLiteral("iconsList"), FuzzSupport::bytes(data, size));
    if (const auto icons = OtherIconItem::iconListFromFile(file)) {
        const QString written = FuzzSupport::writeScratchFile(QStringLiteral("written"), OtherIconItem::iconListText(*icons));
        FuzzSupport::requireSame(OtherIconItem::iconListFromFile(written) == icons, "the icon list");
    }
    return 0;
}
