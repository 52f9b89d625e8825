#include "platform/ui/WidgetUtility.h"

#include <QMenu>
#include <QWidget>

QImage WidgetUtility::snapRectInWindow(QWidget *window, const QRect &rect)
{
    if (!window)
        return {};
    window = window->window();
    if (!window->isVisible())
        return {};
    const QRect area = rect.intersected(window->rect());
    if (area.isEmpty())
        return {};
    QImage image = window->grab(area).toImage();
    if (image.isNull())
        return {};
    // Device pixels on high-density screens: keep them, but report the logical size.
    image.setDevicePixelRatio(window->devicePixelRatioF());
    return image;
}

void WidgetUtility::simulatePopMenu(QMenu *menu, const QPoint &point, QWidget *view)
{
    if (!menu)
        return;
    const QPoint global = view ? view->mapToGlobal(point) : point;
    menu->popup(global);
}
