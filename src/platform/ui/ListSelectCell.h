#pragma once
// List buttons (add, remove, move, OK and Cancel under a list): flat buttons that show
// their border only while the mouse is inside. Turning a button into one keeps its
// keyboard shortcut (Return, Escape, ...), which a plain title change would drop.

#include <QIcon>
#include <QString>

class QAbstractButton;

class ListSelectCell
{
public:
    // The button shows only icon.
    static void imageCell(QAbstractButton *button, const QIcon &icon);
    // The button shows only title.
    static void textCell(QAbstractButton *button, const QString &title);
};
