#pragma once
// Outcome of opening, saving or backing up a book project, with the message the user
// is shown. Kinds the shell treats differently are told apart (a read-only place
// offers "Save As"; a refused protected book says nothing more). Warnings are things
// the user should know about a project that did open or save (a template that is not
// installed any more, page pictures that will be made again).

#include <QString>
#include <QStringList>

enum class ProjectError {
    None,
    FileNotFound,      // the project file is not there
    NotAProject,       // a file, but not a project of ours
    Damaged,           // a project whose XML or one of whose parts cannot be read
    NewerVersion,      // written by a later version of the program
    DataFolderMissing, // the folder with the pages is not beside the project file
    PictureMissing,    // page pictures are gone and cannot be made again
    AccessRefused,     // a protected book whose user could not prove access
    ReadOnly,          // the place cannot be written to
    WriteFailed,       // writing failed half way (nothing was changed)
    Untitled,          // "Save" of a book that has no project file yet
};

struct ProjectResult
{
    ProjectError error = ProjectError::None;
    QString message;
    QStringList warnings;

    bool ok() const { return error == ProjectError::None; }
    static ProjectResult failure(ProjectError error, const QString &message) { return {error, message, {}}; }
};
