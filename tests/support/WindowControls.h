#pragma once
// The controls of windows in the headless window tests, found by object name.

#include "platform/ui/QvWindow.h"
#include "platform/ui/WindowController.h"

#include <QAbstractButton>

// The control called name in a controller's window; a missing one ends the test run.
template <class T = QWidget>
T *control(WindowController *controller, const char *name)
{
    T *found = controller->window()->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

inline void clickControl(WindowController *controller, const char *name)
{
    control<QAbstractButton>(controller, name)->click();
}
