// A bookmark tab file, and the viewer script made from it.
#include "FuzzSupport.h"
#include "furnishings/BookMarkTabs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString file = FuzzSupport::writeScratchFile(QStringLiteral("tabs.xml"), FuzzSupport::bytes(data, size));
    BookMarkTabs tabs;
    if (tabs.loadFromFile(file)) {
        tabs.bookmarkTabsJS();
        tabs.tabsXMLString();
    }
    return 0;
}
