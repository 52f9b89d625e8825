#include "output/OutputCopies.h"

#include "pages/FlashPageSourcePDF.h"
#include "templates/FlashTemplate.h"

namespace OutputCopies {

std::shared_ptr<FlashTemplate> copyTemplate(const FlashTemplate &tmpl)
{
    if (!tmpl.isLoaded())
        return nullptr;
    auto copy = std::make_shared<FlashTemplate>();
    if (!copy->loadTemplateXmlFile(tmpl.templateFile()))
        return nullptr;
    copy->setTmplName(tmpl.tmplName());
    copy->setIsMobileTemplate(tmpl.isMobileTemplate());
    copy->setExternResourcePath(tmpl.externResourcePath());
    copy->setPlainPathFolders(tmpl.plainPathFolders());
    copy->restoreSnapshot(tmpl.snapshot());
    return copy;
}

std::shared_ptr<FlashPageSource> copyPageSource(const FlashPageSource &source)
{
    std::shared_ptr<FlashPageSource> copy = FlashPageSource::fromXmlString(source.toXmlString(), source.workspace());
    if (!copy)
        return nullptr;
    copy->setNormalPageSize(source.normalPageSize());
    copy->setQualityLevel(source.qualityLevel());
    if (const auto *pdf = dynamic_cast<const FlashPageSourcePDF *>(&source))
        if (auto *pdfCopy = dynamic_cast<FlashPageSourcePDF *>(copy.get()))
            pdfCopy->setPassword(pdf->password());
    return copy;
}

} // namespace OutputCopies
