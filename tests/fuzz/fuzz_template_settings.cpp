// A settings text ("tmplSetting.txt", and the settings of a project's template) on
// the bundled template, with what reads the values further: file values, share
// links, page-number captions and the extra icon list.
#include "FuzzSupport.h"
#include "furnishings/PageCaptionUtility.h"
#include "furnishings/ShareLinksItem.h"
#include "templates/FlashTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    static FlashTemplate *tmpl = [] {
        auto *t = new FlashTemplate;
        t->loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName()));
        t->setExternResourcePath(FuzzSupport::scratch());
        t->setPlainPathFolders({FuzzSupport::scratch()});
        return t;
    }();
    static const FlashTemplateSnapshot defaults = tmpl->snapshot();
    tmpl->restoreSnapshot(defaults);
    tmpl->loadSettingsFromText(QString::fromUtf8(FuzzSupport::bytes(data, size)));
    const QString text = tmpl->settingsText();
    tmpl->unresolvedFileSettings();
    for (const ShareLinksItem &link : ShareLinksItem::parseByXmlString(tmpl->propertyValue(QStringLiteral("socialShareLinks"))))
        tmpl->resolveResourcePath(link.logo());
    PageCaptionUtility::captionsForPages(tmpl->propertyValue(QStringLiteral("pageCaption")), 40);
    // What was written reads back to the same values.
    static FlashTemplate *again = [] {
        auto *t = new FlashTemplate;
        t->loadTemplateXmlFile(tmpl->templateFile());
        return t;
    }();
    again->restoreSnapshot(defaults);
    again->loadSettingsFromText(text);
    if (again->settingsText() != text)
        __builtin_trap();
    return 0;
}
