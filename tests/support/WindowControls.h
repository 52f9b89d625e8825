#pragma once
// Finding the controls of windows in the headless window tests.

#include "platform/ui/QvWindow.h"
#include "platform/ui/WindowController.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace WindowControls {

// The control of a controller's window by object name; a missing one ends the test run.
template <class T = QPushButton>
T *control(WindowController *controller, const char *name)
{
    T *found = controller->window()->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// The menu item of a window's menu bar by object name; null when there is none.
inline QAction *menuItem(QMainWindow *window, const QString &name)
{
    for (QAction *item : window->menuBar()->actions())
        if (item->menu())
            for (QAction *entry : item->menu()->actions())
                if (entry->objectName() == name)
                    return entry;
    return nullptr;
}

} // namespace WindowControls
