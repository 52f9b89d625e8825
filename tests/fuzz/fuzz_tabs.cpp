// A bookmark tab file, and the viewer script made from it.
#include "FuzzSupport.h"
#include "furnishings/BookMarkTabs.h"
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString file = FuzzSupport::writeScratchFile(QStringLiteral("tabs.xml"), FuzzSupport::bytes(data, size));
    BookMarkTabs tabs;
    if (tabs.loadFromFile(file)) {
        tabs.bookmarkTabsJS();
        // The file keeps the opacity to two places: compare at that precision.
        tabs.setAlpha(std::round(tabs.alpha() * 100) / 100);
        const QString written = FuzzSupport::scratch() + QStringLiteral("/written.xml");
        BookMarkTabs again;
        FuzzSupport::requireSame(tabs.saveToFile(written) && again.loadFromFile(written) && again == tabs, "the tabs");
    }
    return 0;
}
