#pragma once
// Lists of installed furnishings (backgrounds, scenes, plug-in bundles) are searched by
// the items' names.

#include <QList>
#include <QString>

// The index of the first item whose bgName() is name; -1 when there is none or the
// name is empty.
template <class T>
int indexOfNamedItem(const QList<T> &items, const QString &name)
{
    if (name.isEmpty())
        return -1;
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i).bgName() == name)
            return i;
    return -1;
}
