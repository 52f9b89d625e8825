#pragma once
// The editors of the design settings that hold book furnishings, and the checks of
// values typed into them by hand:
//   "pageCaption"  page captions      PageNumberCaption
//   "flashMenu"    the viewer menu    FlashMenuDelegate
//   "addIcons"     extra icons        OtherIconsDelegate
//   "icons_form"   toolbar icons      ChangeIconFileDelegate (its workspace: the
//                                     outline's changeIconWorkspace, the open book's)
//   "preloader"    the preloader      FlashPreloaderDelegate (its answer is taken
//                                     however the window was closed)
//   "setsocialsharelinks" share links ShareLinks

#include "templates/ui/TemplateEditorRegistry.h"

namespace FurnishingSettingEditors {

void registerEditors(TemplateEditorRegistry &registry);

std::optional<QString> onPageCaption(const TemplateEditorRequest &request);
std::optional<QString> onFlashMenuConfig(const TemplateEditorRequest &request);
std::optional<QString> onSelectAddIcons(const TemplateEditorRequest &request);
std::optional<QString> onSelectFile(const TemplateEditorRequest &request);
std::optional<QString> onSelectPreloader(const TemplateEditorRequest &request);
std::optional<QString> onSocialShareConfig(const TemplateEditorRequest &request);

} // namespace FurnishingSettingEditors
