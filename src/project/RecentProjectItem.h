#pragma once
// A recently opened or published project: the list the project panel offers.
//
// The list is a property list ("RecentProjects.plist" in the user's data folder):
// an array of dictionaries with "name" and "path", newest first, at most
// kMaxItems long. saveToFile() puts an item first, dropping an older entry with the
// same path (whose name the item takes over when its own is empty). Reading drops
// entries whose file or folder is gone. Changes are made under a lock file, so two
// running instances do not lose each other's entries.

#include <QList>
#include <QString>

class RecentProjectItem
{
public:
    static constexpr int kMaxItems = 20;

    RecentProjectItem() = default;
    RecentProjectItem(const QString &name, const QString &path) : m_name(name), m_path(path) {}

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    // Puts this item first in the list and writes the list. False when the item has
    // no path or the list cannot be written.
    bool saveToFile() const;

    // The list, newest first, without entries whose file is gone.
    static QList<RecentProjectItem> recentProjects();
    static QString listFilePath();

    friend bool operator==(const RecentProjectItem &, const RecentProjectItem &) = default;

private:
    QString m_name;
    QString m_path;
};
