// The ".cfg" of a book's download configuration, and the downloads it offers.
#include "FuzzSupport.h"
#include "furnishings/DownloadCfgItem.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString workspace = FuzzSupport::scratch() + QStringLiteral("/downloads");
    QDir().mkpath(workspace);
    FuzzSupport::writeScratchFile(QStringLiteral("downloads/.cfg"), FuzzSupport::bytes(data, size));
    const std::optional<DownloadSettings> settings = DownloadCfgItem::readSettings(workspace);
    DownloadCfgItem::downloadsForWorkspace(workspace);
    if (settings) {
        const QString written = FuzzSupport::scratch() + QStringLiteral("/written");
        FuzzSupport::requireSame(DownloadCfgItem::writeSettings(written, *settings)
                                     && DownloadCfgItem::readSettings(written) == settings,
                                 "the download settings");
    }
    return 0;
}
