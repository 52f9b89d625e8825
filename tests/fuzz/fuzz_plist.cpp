// Property lists, XML and binary: settings files, user lists, download workspaces.
#include "FuzzSupport.h"
#include "foundation/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    if (const std::optional<QVariant> value = PropertyList::fromData(FuzzSupport::bytes(data, size))) {
        // A value the XML form cannot hold is refused by the writer; one it wrote reads back.
        if (const std::optional<QByteArray> xml = PropertyList::toXml(*value)) {
            const std::optional<QVariant> again = PropertyList::fromData(*xml);
            FuzzSupport::requireSame(again && *again == *value, "the property list");
        }
    }
    return 0;
}
