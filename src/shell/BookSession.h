#pragma once
// The open book as the application shell sees it: the document with its models, and
// what the shell adds around it — the name shown for it, whether it has changes that
// were not saved, the book's folders, and the project operations with the recent
// projects list kept up to date.
//
// A book is made in one of two ways: opened from a project, or made by an import into
// a new untitled book (createForImport(), then adoptImport() when the import is done).

#include "batch/ImportParament.h"
#include "project/ProjectResult.h"

#include <QString>
#include <memory>

class BookDocument;
class PageImport;
class ProjectBackup;

class BookSession
{
public:
    ~BookSession();
    BookSession(const BookSession &) = delete;
    BookSession &operator=(const BookSession &) = delete;

    // A new untitled book with the default templates and an empty temporary folder to
    // import pages into; null with *error when the templates or the folder are missing.
    static std::unique_ptr<BookSession> createForImport(QString *error = nullptr);
    // Opens a project; null with *result saying why. Warnings stay in *result.
    static std::unique_ptr<BookSession> open(const QString &projectFile, ProjectResult *result = nullptr);

    BookDocument &document() const { return *m_document; }
    // The folder an import writes the pages into (empty for an opened project).
    QString importWorkspace() const { return m_importWorkspace; }
    // Takes the pages, bookmarks and search text of a finished import, and keeps how
    // the source was opened (the download workspace's ".info"). The book counts as
    // changed: it exists nowhere else yet.
    void adoptImport(const PageImport &import, const ImportParament &parament);
    ImportParament importParament() const { return m_parament; }

    bool hasPages() const;
    int pageCount() const;
    // The project's name, or for a book not saved yet the name of what it was made from.
    QString displayName() const;
    // The file name offered by Save As: "<display name>.qvprj".
    QString suggestedFileName() const;
    bool isUntitled() const;
    QString projectFilePath() const;

    // The working folder of this book's toolbar icon window (made on first use, removed
    // with the session): every book keeps its own replaced icons and last choices there.
    QString changeIconWorkspace();

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // Saves to the book's own project; an untitled book answers ProjectError::Untitled.
    ProjectResult save();
    ProjectResult saveAs(const QString &projectFile);
    // Writes a backup of the book (nothing for a book without pages); its file, or empty.
    QString backup(ProjectBackup &backups, ProjectResult *result = nullptr) const;

private:
    explicit BookSession(std::unique_ptr<BookDocument> document);
    void remember() const;

    std::unique_ptr<BookDocument> m_document;
    QString m_importWorkspace;
    QString m_sourceName;
    ImportParament m_parament;
    QString m_changeIconWorkspace;
    bool m_modified = false;
};
