// Property lists, XML and binary: settings files, user lists, download workspaces.
#include "FuzzSupport.h"
#include "foundation/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    if (const std::optional<QVariant> value = PropertyList::fromData(FuzzSupport::bytes(data, size)))
        PropertyList::toXml(*value);
    return 0;
}
