#include "output/MobileChoices.h"

#include "batch/ConvertParament.h"
#include "foundation/ColorText.h"
#include "output/OutputCopies.h"
#include "templates/FlashTemplate.h"

namespace MobileChoices {

bool hasChoices(const ConvertParament &record)
{
    return !record.strMobileColor().isEmpty() || !record.strMobileFlipStyle().isEmpty()
        || !record.strMobileDoubleSlide().isEmpty();
}

std::shared_ptr<const FlashTemplate> applied(std::shared_ptr<const FlashTemplate> tmpl, const ConvertParament &record)
{
    if (!hasChoices(record))
        return tmpl;
    std::shared_ptr<FlashTemplate> copy;
    if (tmpl) {
        copy = OutputCopies::copyTemplate(*tmpl);
    } else {
        copy = std::make_shared<FlashTemplate>();
        if (!copy->loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultMobileTemplateName())))
            return nullptr;
        copy->setIsMobileTemplate(true);
        copy->setTmplName(FlashTemplate::defaultMobileTemplateName());
    }
    if (!copy)
        return nullptr;
    if (const auto digits = hexRGBDigits(record.strMobileColor()))
        copy->setPropertyValue(QStringLiteral("backgroundColor"), QStringLiteral("0x") + *digits);
    if (!record.strMobileFlipStyle().isEmpty())
        copy->setPropertyValue(QStringLiteral("flipStyle"), record.strMobileFlipStyle());
    if (!record.strMobileDoubleSlide().isEmpty())
        copy->setPropertyValue(QStringLiteral("doublePageSlide"), record.strMobileDoubleSlide());
    return copy;
}

} // namespace MobileChoices
