// A Windows program: headers, sections and the resource tree, and its icons.
#include "FuzzSupport.h"
#include "output/packages/ExeIconResources.h"
#include "output/packages/PeFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QByteArray exe = FuzzSupport::bytes(data, size);
    PeFile pe;
    if (pe.parse(exe)) {
        for (const PeFile::Resource &resource : pe.resources())
            pe.offsetOfRva(resource.dataRva, resource.size);
    }
    ExeIconResources icons;
    if (icons.read(exe)) {
        QByteArray copy(exe.constData(), exe.size());
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        ExeIconResources::replaceIcons(copy, {picture});
    }
    return 0;
}
