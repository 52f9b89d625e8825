// The share buttons a design setting keeps as XML, and the XML written back from them.
#include "FuzzSupport.h"
#include "furnishings/ShareLinksItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QList<ShareLinksItem> links = ShareLinksItem::parseByXmlString(QString::fromUtf8(FuzzSupport::bytes(data, size)));
    FuzzSupport::requireSame(ShareLinksItem::parseByXmlString(ShareLinksItem::generateShareLinksToXml(links)) == links,
                             "the share links");
    return 0;
}
