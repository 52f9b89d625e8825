#pragma once
// What the preloader chooser works on: the installed preloaders and the chosen one.
// It adds a preloader of the user's (a movie and its picture copied into the user's
// folder), removes the user's own, and keeps the chosen preloader chosen by its name
// through both.

#include "furnishings/FlashTemlPreloaderItem.h"

#include <QList>
#include <QString>

class PreloaderChoice
{
public:
    // The installed preloaders, the one named initialName chosen (-1 when it is not
    // installed; an empty name chooses "Default").
    explicit PreloaderChoice(const QString &initialName);

    const QList<FlashTemlPreloaderItem> &items() const { return m_items; }
    int selectedIndex() const { return m_selected; }
    void setSelectedIndex(int index);
    // The chosen preloader's name; the first one's when none is chosen; the name the
    // choice began with when nothing is installed at all.
    QString selectedName() const;

    // Installs movie (an SWF file) with picture (any picture, written as PNG) as the
    // user's preloader named after the movie's file, replacing the user's files of that
    // name; listed once. Refused, with *error saying why, when the movie is no SWF
    // movie, the picture cannot be read, or the name is one of the program's own
    // preloaders. Returns the item's index, or -1.
    int add(const QString &movie, const QString &picture, QString *error = nullptr);
    // Deletes the files of the user's preloaders among rows and drops them from the
    // list; the program's own stay. The chosen preloader stays chosen when it is
    // still there, else the first one is. Returns how many were removed.
    int remove(const QList<int> &rows);
    // True when a row is a preloader of the user's (only those can be removed).
    bool isRemovable(int row) const;

private:
    QList<FlashTemlPreloaderItem> m_items;
    QString m_initialName;
    int m_selected = -1;
};
