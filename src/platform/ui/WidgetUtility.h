#pragma once
// Window helpers that need widgets: capturing part of a window and popping up a menu
// at a point of a view.

#include <QImage>
#include <QPoint>
#include <QRect>

class QMenu;
class QWidget;

class WidgetUtility
{
public:
    // An image of rect (in the window's coordinates) of window's window; a null image
    // when the window is missing, not shown, or the rectangle lies outside it.
    static QImage snapRectInWindow(QWidget *window, const QRect &rect);

    // Pops menu up with its top-left corner at point in view's coordinates; returns at once.
    static void simulatePopMenu(QMenu *menu, const QPoint &point, QWidget *view);
};

// The same as WidgetUtility::snapRectInWindow.
inline QImage snapRectInWindow(QWidget *window, const QRect &rect)
{
    return WidgetUtility::snapRectInWindow(window, rect);
}
