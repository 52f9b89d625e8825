// A plug-in bundle's "settings.dat", and the same settings written back as text.
#include "FuzzSupport.h"
#include "furnishings/PluginBundle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString file = FuzzSupport::writeScratchFile(QStringLiteral("settings.dat"), FuzzSupport::bytes(data, size));
    if (const auto settings = PluginBundleSettings::readFile(file)) {
        const QString written = FuzzSupport::scratch() + QStringLiteral("/written.dat");
        FuzzSupport::requireSame(settings->writeFile(written) && PluginBundleSettings::readFile(written) == settings,
                                 "the plug-in settings");
    }
    return 0;
}
