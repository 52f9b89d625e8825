#pragma once
// Reads a project file into a new BookDocument (used through BookProject). Reads
// only: nothing on disk is created or changed, whatever the outcome.

#include "project/BookDocument.h"
#include "project/ProjectResult.h"

#include <QDomElement>

class BookProjectReader
{
public:
    BookProjectReader(const QString &projectFile, BookDocument &document);

    ProjectResult read();

private:
    bool readPages(const QDomElement &root, ProjectResult &result);
    bool checkPictures(ProjectResult &result);
    bool readModels(const QDomElement &root, const QString &text, ProjectResult &result);
    void readTemplates(const QDomElement &root, ProjectResult &result);
    void readParts(const QDomElement &root, ProjectResult &result);
    // relative inside the data folder; "" when it would leave it (by its name, or
    // through a link: such a folder is noted in m_leftOut).
    QString folderInData(const QString &relative);

    QString m_file;
    BookDocument &m_document;
    QString m_dataFolder;
    QHash<QString, QString> m_storedFolders;
    QStringList m_leftOut;
};
