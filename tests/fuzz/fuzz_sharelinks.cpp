// The share buttons a design setting keeps as XML, and the XML written back from them.
#include "FuzzSupport.h"
#include "furnishings/ShareLinksItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString xml = QString::fromUtf8(FuzzSupport::bytes(data, size));
    ShareLinksItem::generateShareLinksToXml(ShareLinksItem::parseByXmlString(xml));
    return 0;
}
