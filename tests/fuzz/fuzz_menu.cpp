// The viewer menu a design setting keeps as XML, and the XML written back from it.
#include "FuzzSupport.h"
#include "furnishings/FlashMenuItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString xml = QString::fromUtf8(FuzzSupport::bytes(data, size));
    if (FlashMenuItem::isMenusXml(xml)) {
        const QList<FlashMenuItem> items = FlashMenuItem::parseByXmlString(xml);
        FuzzSupport::requireSame(FlashMenuItem::parseByXmlString(FlashMenuItem::menuXmlString(items)) == items,
                                 "the viewer menu");
    }
    return 0;
}
