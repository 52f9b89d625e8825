#pragma once
// The named cover designs the book cover editor keeps (templates): copies of design
// files in the templates folder ("BookCoverData/Templates"), each under a file name made
// from the time it was saved (seconds since 1970 with six decimals), and the list
// ".template" in that folder naming them, newest first: a property list array of
// one-entry dictionaries, template name -> file name (docs/cover-maker.md).
//
// File names read from the list are taken by their last path component only, so a
// list that names "../x" or "/home/x" can neither read nor delete a file outside the
// folder; entries without a usable name are dropped.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class BookCoverTemplates
{
public:
    struct Entry
    {
        QString name;
        QString fileName;
    };

    explicit BookCoverTemplates(const QString &folder);

    QString folder() const { return m_folder; }
    QString listFile() const;
    const QList<Entry> &entries() const { return m_entries; }
    // Every name, in list order.
    QStringList names() const;
    std::optional<Entry> find(const QString &name) const;
    // The template's design file (it need not exist).
    QString filePath(const Entry &entry) const;

    // Reads the list (a missing or unreadable one is empty).
    void load();
    // Writes the list atomically.
    bool save() const;

    // True when the template name holds a file with exactly the bytes of configFile.
    bool isSameDesign(const QString &name, const QString &configFile) const;
    // Saves configFile as the template name: a known name keeps its file (replaced)
    // and moves to the front, a new one gets a new file at the front. The list is
    // written. False, changing nothing in the list, when the file cannot be written.
    bool store(const QString &name, const QString &configFile, QString *error = nullptr);
    // Deletes the template's file and entry and writes the list; false for an unknown name.
    bool remove(const QString &name);

    // The last path component of a stored file name; empty when that is no file name.
    static QString safeFileName(const QString &stored);

private:
    QString m_folder;
    QList<Entry> m_entries;
};
