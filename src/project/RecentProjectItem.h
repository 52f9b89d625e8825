#pragma once
// A recently opened project or published book: the list the project panel offers.
//
// The list is a property list ("RecentProjects.plist" in the user's data folder):
// an array of dictionaries with "name" and "path", newest first, at most
// kMaxItems long, of which a book keeps one published entry (its newest output); a published book also has "kind", its output kind (OutputKind). An
// entry without "kind" is a project when its file is a project file, else a book
// published by an older version, whose kind is told by its extension. saveToFile() puts an item first, dropping an older entry with the
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
    // What kind() answers for a project.
    static constexpr int kProject = -1;

    RecentProjectItem(const QString &name, const QString &path, int kind = kProject)
        : m_name(name), m_path(path), m_kind(kind)
    {
    }

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }
    // The output kind of a published book, kProject for a project.
    int kind() const { return m_kind; }
    bool isPublishedBook() const { return m_kind != kProject; }
    // True for a published book read in a browser.
    bool isWebBook() const;
    // The page a web book is read at: its path, or for the book's folder the page in
    // it; empty for anything else.
    QString bookPage() const;
    // How lists show it: the name (the file's base name when it has none), and for a
    // published book what it is and its file name.
    QString displayTitle() const;

    // Puts this item first in the list and writes the list. False when the item has
    // no path or the list cannot be written.
    bool saveToFile() const;

    // The list without entries whose file is gone: the projects, then the published
    // books, each newest first.
    static QList<RecentProjectItem> recentProjects();
    static QString listFilePath();

    friend bool operator==(const RecentProjectItem &, const RecentProjectItem &) = default;

private:
    QString m_name;
    QString m_path;
    int m_kind = kProject;
};
