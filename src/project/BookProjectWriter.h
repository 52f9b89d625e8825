#pragma once
// Writes a BookDocument as a project (used through BookProject).
//
// A run first plans where everything goes, copies what is not yet in the data
// folder (never over a file the project on disk names), then replaces the project
// file in one step. Only after that are the document's paths moved to the new
// places (relocate) and the folders the old project used and the new one does not
// removed. A failure at any point removes what the run had made.

#include "project/BookDocument.h"
#include "project/ProjectResult.h"

#include <QHash>
#include <QSet>
#include <QStringList>

class BookProjectWriter
{
public:
    enum class Mode {
        Save,   // to the document's own project
        SaveAs, // to another place, which becomes the document's project
        Copy,   // to another place; the document stays where it is
    };

    BookProjectWriter(const BookDocument &document, Mode mode);

    ProjectResult write(const QString &projectFile);
    // After a successful write (not Copy): the document's pages, template resources
    // and part folders now point into the project, which becomes its own.
    void relocate(BookDocument &document);

private:
    // A folder carried into the data folder (template resources, part files).
    struct Carried
    {
        QString key;     // as in BookDocument::m_storedFolders
        QString source;  // where it is now (absolute)
        QString target;  // where it goes (absolute); equal to source when it stays
    };

    bool planDataFolder(ProjectResult &result);
    bool planPages(ProjectResult &result);
    bool planFolders(ProjectResult &result);
    QString carriedTarget(const QString &source, const QString &defaultName);
    QString composeXml(ProjectResult &result);
    bool commitXml(const QString &xml, ProjectResult &result);
    void rollBack();
    void removeSuperseded();
    QString mapped(const QString &path) const;

    const BookDocument &m_document;
    Mode m_mode;
    QString m_file;            // the project file written
    QString m_dataFolder;      // its data folder
    bool m_sameProject = false;
    bool m_freshDataFolder = false;
    QString m_oldDataOfTarget; // data folder of a project replaced at m_file

    QString m_workspace;       // the page source's folder now
    QString m_pageFolder;      // and in the project
    bool m_workspaceMoved = false;
    QHash<QString, QString> m_pictureMap; // clean absolute path now -> path in the project
    QSet<QString> m_plannedPaths;         // targets already given out
    QList<Carried> m_carried;

    QStringList m_createdFiles;
    QStringList m_createdFolders;
    QStringList m_missingPictures;
    QStringList m_leftOut; // what folder copies left out, as sentences
};
