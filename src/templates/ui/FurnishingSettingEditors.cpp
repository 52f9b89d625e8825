#include "templates/ui/FurnishingSettingEditors.h"

#include "foundation/AppStrings.h"
#include "furnishings/FlashMenuItem.h"
#include "furnishings/FlashTemlPreloaderItem.h"
#include "furnishings/OtherIconItem.h"
#include "furnishings/PageCaptionUtility.h"
#include "furnishings/ToolbarIconSet.h"
#include "furnishings/ui/ChangeIconFileDelegate.h"
#include "furnishings/ui/FlashMenuDelegate.h"
#include "furnishings/ui/FlashPreloaderDelegate.h"
#include "furnishings/ui/OtherIconsDelegate.h"
#include "furnishings/ui/PageNumberCaption.h"
#include "furnishings/ui/ShareLinks.h"
#include "platform/ui/QvWindow.h"
#include "templates/FlashTemplate.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include <QFileInfo>
#include <QPointer>

namespace FurnishingSettingEditors {

namespace {

using Refusal = TemplateEditorRegistry::Refusal;

std::optional<Refusal> checkCaptions(const TemplateEditorRequest &typed)
{
    const QStringList invalid = PageCaptionUtility::invalidExpressions(typed.value);
    if (invalid.isEmpty())
        return std::nullopt;
    return Refusal{loadAppString("PageNumberCaptionD-Invalid expression!", "Invalid expression!"),
                   loadAppString("PageNumberCaptionD-Please check the input string again!", "Please check the input string again!"),
                   invalid.join(QLatin1Char('\n'))};
}

std::optional<Refusal> checkMenu(const TemplateEditorRequest &typed)
{
    if (typed.value.trimmed().isEmpty() || FlashMenuItem::isMenusXml(typed.value))
        return std::nullopt;
    return Refusal{loadAppString("FlashMenuD-The menu cannot be read.", "The menu cannot be read."),
                   loadAppString("FlashMenuD-Edit the menu with the button of this setting.",
                                 "Edit the menu with the button of this setting."),
                   typed.value};
}

std::optional<Refusal> checkIconList(const TemplateEditorRequest &typed)
{
    const QString path = typed.flashTemplate ? typed.flashTemplate->resolveResourcePath(typed.value) : typed.value;
    if (typed.value.isEmpty() || OtherIconItem::iconListFromFile(path))
        return std::nullopt;
    return Refusal{loadAppString("OtherIconsD-The file is not a list of icons.", "The file is not a list of icons."),
                   loadAppString("OtherIconsD-Edit the icons with the button of this setting.",
                                 "Edit the icons with the button of this setting."),
                   typed.value};
}

std::optional<Refusal> checkIconArchive(const TemplateEditorRequest &typed)
{
    const QString path = typed.flashTemplate ? typed.flashTemplate->resolveResourcePath(typed.value) : typed.value;
    const QString problem = typed.value.isEmpty() ? QString() : ToolbarIconSet::problemWithIconArchive(path);
    if (problem.isEmpty() && (typed.value.isEmpty() || !path.isEmpty()))
        return std::nullopt;
    return Refusal{loadAppString("ChangeIconFileD-The toolbar icons cannot be used.", "The toolbar icons cannot be used."),
                   problem.isEmpty() ? loadAppString("ChangeIconFileD-The file does not exist.", "The file does not exist.") : problem,
                   typed.value};
}

std::optional<Refusal> checkPreloader(const TemplateEditorRequest &typed)
{
    const QString name = typed.value.trimmed();
    if (name.isEmpty() || FlashTemlPreloaderItem::indexOfPreloader(name, FlashTemlPreloaderItem::installedPreloaders()) >= 0)
        return std::nullopt;
    return Refusal{loadAppString("FlashPreloaderD-No preloader of that name is installed.", "No preloader of that name is installed."),
                   loadAppString("FlashPreloaderD-Choose the preloader with the button of this setting.",
                                 "Choose the preloader with the button of this setting."),
                   typed.value};
}

} // namespace

void registerEditors(TemplateEditorRegistry &registry)
{
    registry.registerEditor(QStringLiteral("pageCaption"), onPageCaption);
    registry.registerValueCheck(QStringLiteral("pageCaption"), checkCaptions);
    registry.registerEditor(QStringLiteral("flashMenu"), onFlashMenuConfig);
    registry.registerValueCheck(QStringLiteral("flashMenu"), checkMenu);
    registry.registerEditor(QStringLiteral("addIcons"), onSelectAddIcons);
    registry.registerValueCheck(QStringLiteral("addIcons"), checkIconList);
    registry.registerEditor(QStringLiteral("icons_form"), onSelectFile);
    registry.registerValueCheck(QStringLiteral("icons_form"), checkIconArchive);
    registry.registerEditor(QStringLiteral("setsocialsharelinks"), onSocialShareConfig);
    registry.registerEditor(QStringLiteral("preloader"), onSelectPreloader);
    registry.registerValueCheck(QStringLiteral("preloader"), checkPreloader);
}

std::optional<QString> onSelectPreloader(const TemplateEditorRequest &request)
{
    FlashPreloaderDelegate chooser(request.value);
    chooser.window();
    chooser.center();
    chooser.runModal();
    return chooser.getSelectedPreloaderName();
}

std::optional<QString> onPageCaption(const TemplateEditorRequest &request)
{
    PageNumberCaption editor;
    editor.setExpression(request.value);
    editor.center();
    if (editor.runModal() != 1)
        return std::nullopt;
    return editor.expression();
}

std::optional<QString> onFlashMenuConfig(const TemplateEditorRequest &request)
{
    FlashMenuDelegate editor;
    editor.setSettingXmlString(request.value);
    editor.center();
    if (editor.runModal() != 1)
        return std::nullopt;
    return editor.settingXmlString();
}

std::optional<QString> onSocialShareConfig(const TemplateEditorRequest &request)
{
    ShareLinks editor;
    editor.setSettingXmlString(request.value);
    QPointer<FlashTemplate> tmpl = request.flashTemplate;
    editor.setLogoResolver([tmpl](const QString &value) { return tmpl ? tmpl->resolveResourcePath(value) : value; });
    editor.center();
    if (editor.runModal() != 1)
        return std::nullopt;
    return editor.settingXmlString();
}

std::optional<QString> onSelectAddIcons(const TemplateEditorRequest &request)
{
    OtherIconsDelegate editor;
    editor.setCustomIconsSettingFile(request.flashTemplate ? request.flashTemplate->resolveResourcePath(request.value)
                                                           : request.value);
    editor.center();
    if (editor.runModal() != 1)
        return std::nullopt;
    const QString file = editor.customIconsSettingFile();
    return QFileInfo(file).isFile() ? file : QString();
}

std::optional<QString> onSelectFile(const TemplateEditorRequest &request)
{
    ChangeIconFileDelegate editor;
    const auto *outline = qobject_cast<const FlashTemplateOutlineDelegate *>(request.parent);
    // The open book's own workspace; without one the window works in a new temporary
    // folder (the design settings keep a copy of the archive it makes).
    editor.setWorkSpace(outline ? outline->changeIconWorkspace() : QString());
    editor.setInputFile(request.flashTemplate ? request.flashTemplate->resolveResourcePath(request.value) : request.value);
    TemplateEditorRun::placeBesideCursor(editor.window());
    if (editor.runModal() != 1)
        return std::nullopt;
    return editor.inputFile();
}

} // namespace FurnishingSettingEditors
