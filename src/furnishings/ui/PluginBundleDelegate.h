#pragma once
// The picker of the main window's "plugin" tab: the installed plug-in bundles
// (PluginBundle::collectPluginList), the none bundle first. Its owner hides the online
// and load buttons, connects the remove button and runs the settings editor when a
// bundle is applied.

#include "furnishings/ui/BackgroundSettingView.h"

class PluginBundleDelegate : public BackgroundSettingView
{
    Q_OBJECT
public:
    using BackgroundSettingView::BackgroundSettingView;
};
