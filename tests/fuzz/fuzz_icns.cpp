// An ".icns" file and the pictures it holds.
#include "FuzzSupport.h"
#include "output/packages/IcnsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    if (const auto entries = IcnsFile::decode(FuzzSupport::bytes(data, size)))
        IcnsFile::largestImage(*entries);
    return 0;
}
