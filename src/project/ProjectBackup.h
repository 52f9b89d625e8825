#pragma once
// Backups of the open book, written at shut-down and by autosave: each is a copy of
// the book as a project in a folder of its own below the per-user folder "Backup":
//   Backup/20240501-140322-118/Annual report.qvprj (+ its data folder)
// named by the time it was made (UTC), so the newest sorts last. A backup is
// written under a hidden name and renamed when complete, so a run that stops half
// way never leaves something that looks like a backup. Only the newest few are kept.
//
// A backup is restored as a new, untitled book (its own copy in a temporary
// folder), never edited in place, because older backups are deleted as new ones
// are made.

#include "project/ProjectResult.h"

#include <QString>
#include <QStringList>
#include <memory>

class BookDocument;

class ProjectBackup
{
public:
    static constexpr int kDefaultKeep = 5;

    // folder empty: defaultFolder().
    explicit ProjectBackup(const QString &folder = QString(), int keep = kDefaultKeep);
    static QString defaultFolder();
    QString folder() const { return m_folder; }

    // Writes the document as a new backup (the document itself is not changed) and
    // removes all but the newest backups. The backup's project file; empty on
    // failure, with *result saying why.
    QString backup(const BookDocument &document, ProjectResult *result = nullptr);

    // Project files of the complete backups, newest first.
    QStringList backups() const;
    QString latestBackup() const;

    // Opens a backup as an untitled book whose pictures lie in a temporary folder of
    // its own. Null on failure, with *result saying why.
    static std::unique_ptr<BookDocument> restore(const QString &backupFile, ProjectResult *result = nullptr);

private:
    void prune();

    QString m_folder;
    int m_keep;
};
