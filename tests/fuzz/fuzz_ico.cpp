// An ".ico" file and the pictures it holds.
#include "FuzzSupport.h"
#include "output/packages/IcoFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QByteArray ico = FuzzSupport::bytes(data, size);
    IcoFile::decode(ico);
    IcoFile::decodeImages(ico);
    return 0;
}
