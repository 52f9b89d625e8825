// The "Config.xml" of a narration package (Assistant.zip): spreads, options, files.
// The package holds a text and two sounds besides, for Config.xml to name. What was
// read, packed again and read from that package is the same narration.
#include "FuzzModels.h"
#include "FuzzSupport.h"
#include "foundation/ZipWriter.h"
#include "output/narration/GenerateAssistant.h"

#include <QDir>

namespace {

// A folder of the scratch folder, empty.
QString emptyFolder(const QString &name)
{
    const QString folder = FuzzSupport::scratch() + QLatin1Char('/') + name;
    QDir(folder).removeRecursively();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString package = FuzzSupport::scratch() + QStringLiteral("/Assistant.zip");
    {
        ZipWriter zip(package);
        if (!zip.addData(QStringLiteral("Config.xml"), FuzzSupport::bytes(data, size))
            || !zip.addData(QStringLiteral("texts/1.lrc"), "Once upon a time")
            || !zip.addData(QStringLiteral("sounds/1.mp3"), QByteArray("\xFF\xFB\x90\x64 first", 10))
            || !zip.addData(QStringLiteral("imports/2_3.mp3"), QByteArray("\xFF\xFB\x90\x64 second", 11))
            || !zip.commit())
            return 0;
    }
    const std::optional<GenerateAssistant> read = GenerateAssistant::readPackage(package, emptyFolder("assistant"));
    if (read) {
        const QString again = FuzzSupport::scratch() + QStringLiteral("/Again.zip");
        const std::optional<GenerateAssistant> back =
            read->writePackage(again) ? GenerateAssistant::readPackage(again, emptyFolder("again")) : std::nullopt;
        FuzzSupport::requireSame(back && FuzzModels::narration(*back) == FuzzModels::narration(*read), "the narration");
    }
    return 0;
}
