// The "Config.xml" of a narration package (Assistant.zip): spreads, options, files.
#include "FuzzSupport.h"
#include "foundation/ZipWriter.h"
#include "output/narration/GenerateAssistant.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString package = FuzzSupport::scratch() + QStringLiteral("/Assistant.zip");
    ZipWriter zip(package);
    if (zip.addData(QStringLiteral("Config.xml"), FuzzSupport::bytes(data, size)) && zip.commit())
        GenerateAssistant::readPackage(package, FuzzSupport::scratch() + QStringLiteral("/assistant"));
    return 0;
}
