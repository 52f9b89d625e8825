#pragma once
// The items a publish run moves out of its way, and how they go back.
//
// Before a run writes, existing targets are moved into a private temporary folder
// (backupFilePath) and their original paths recorded (backupPathDict: original path
// to backup path). A failed or cancelled run puts every item back; a successful run
// drops what it replaced and puts back what it did not replace after all.
//
// Moving prefers a rename; across file systems (EXDEV) the item is copied and the
// original deleted. An item that cannot be put back stays in the backup folder, which
// is then kept on disk (never emptied or deleted by this object) so the user can
// fetch it; failures say where it is.
//
// Main thread only.

#include <QList>
#include <QMap>
#include <QString>
#include <functional>

class PublishBackup
{
public:
    // Renames from to to (both absolute, to must not exist): 0 on success, else errno.
    using RenameFunction = std::function<int(const QString &from, const QString &to)>;

    struct Failure
    {
        QString original; // where the item belongs
        QString backup;   // where it is now
        QString reason;
    };

    PublishBackup();
    PublishBackup(const PublishBackup &) = delete;
    PublishBackup &operator=(const PublishBackup &) = delete;

    QString backupFilePath() const { return m_folder; }
    const QMap<QString, QString> &backupPathDict() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }

    // For a new run: forgets earlier entries, then makes the folder (first run, or
    // after the last folder was kept) or empties it. False when no folder can be made.
    bool prepare();
    void clearEntries() { m_entries.clear(); }

    // Moves the existing item at path into the folder and records it. False with a
    // reason in error when it could not be moved; when the item was copied but its
    // original could not be deleted completely, the copy is recorded all the same,
    // so restoring puts the complete item back.
    bool moveAside(const QString &path, QString *error = nullptr);

    // Puts every item back: what lies at its original path is deleted (only when its
    // backup exists) and the backup moved there. Forgets the entries. Returns the
    // items that could not be put back; the folder is then kept.
    QList<Failure> restoreAll();
    // After a successful run: items whose place the run left empty go back, the rest
    // are dropped. Forgets the entries and deletes the folder unless something could
    // not be put back.
    QList<Failure> settleAfterSuccess();
    // Deletes the folder unless it holds items that could not be put back.
    void removeFolder();
    // True after a restore failed: the folder stays on disk for the user.
    bool isFolderKept() const { return m_keepFolder; }

    void setRenameFunction(RenameFunction rename) { m_rename = std::move(rename); }

    // rename(2).
    static int systemRename(const QString &from, const QString &to);
    // Moves from to to: rename, or copy and delete when rename says EXDEV. A failed
    // copy leaves from as it was and nothing at to.
    static bool moveItem(const QString &from, const QString &to, const RenameFunction &rename, QString *error,
                         bool *copiedButNotDeleted = nullptr);
    // True for anything at path, a dangling symbolic link included.
    static bool pathExists(const QString &path);

private:
    bool putBack(const QString &original, const QString &backup, QString *error);
    QString freeBackupPath(const QString &original) const;

    QString m_folder;
    QMap<QString, QString> m_entries;
    bool m_keepFolder = false;
    RenameFunction m_rename;
};
