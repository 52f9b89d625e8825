// A template description ("template.xml"): settings tree, styles, analytics script.
#include "FuzzSupport.h"
#include "templates/FlashTemplateProperty.h"
#include "templates/TemplateXmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    TemplateXmlReader reader;
    const std::unique_ptr<TemplateDescription> description =
        reader.readData(FuzzSupport::bytes(data, size), QStringLiteral("template.xml"));
    return 0;
}
