// ZIP extraction (scene packages, icon archives, user lists, theme packages): whatever
// the archive, nothing is written outside the target folder.
#include "FuzzSupport.h"
#include "foundation/ZipExtractor.h"

#include <QDir>
#include <QDirIterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString box = FuzzSupport::scratch() + QStringLiteral("/zip");
    const QString target = box + QStringLiteral("/target");
    QDir(box).removeRecursively();
    QDir().mkpath(target);
    ZipExtractor extractor;
    extractor.extractData(FuzzSupport::bytes(data, size), target);
    // Only the target folder may have been written to.
    const QStringList beside = QDir(box).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (beside != QStringList{QStringLiteral("target")})
        __builtin_trap();
    return 0;
}
