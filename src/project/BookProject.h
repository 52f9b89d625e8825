#pragma once
// Book project files: opening a project into a BookDocument and saving a document
// as a project. The layout is described in docs/project-format.md: "Book.qvprj" (an
// XML file) beside its data folder "Book.qvprj.data" with the page pictures and the
// files of the book's parts; every path inside is relative, so a project that was
// moved (file and folder together) still opens.
//
// Opening changes nothing on disk and fails with a clear message (ProjectResult)
// when the file is missing, is no project, is damaged, lacks its data folder or has
// lost page pictures that cannot be made again.
//
// Saving is atomic: pictures and part files are copied into the data folder first,
// under names the project on disk does not use, and the project file is replaced in
// one step (QSaveFile) only then. A failed save removes what it had copied and
// leaves the project on disk and the document as they were. Saving again to the same
// place copies nothing that is already in the project.
//
// All of these block; call them from the thread that uses the document.

#include "project/BookDocument.h"
#include "project/ProjectResult.h"

#include <functional>
#include <memory>

class BookProject
{
public:
    static QString fileExtension() { return QStringLiteral("qvprj"); }
    // "<project file>.data": the data folder's name for a new project file.
    static QString dataFolderName(const QString &projectFile);

    // Reads a project into a new document made with the registered part types.
    // Null on failure, with *result saying why; result->warnings holds what the user
    // should know about a project that did open.
    static std::unique_ptr<BookDocument> open(const QString &projectFile, ProjectResult *result = nullptr);
    // Reads a project into document, which must be new (parts set up, nothing else
    // filled in); after a failure, throw it away.
    static ProjectResult openInto(const QString &projectFile, BookDocument &document);

    // Saves the document to its own project file (Untitled when it has none).
    static ProjectResult save(BookDocument &document);
    // Saves the document to projectFile (".qvprj" is added when it has another
    // extension) and makes that its project. A project already at that place is
    // replaced, data folder included.
    static ProjectResult saveAs(BookDocument &document, const QString &projectFile);
    // Writes a copy of the document to projectFile; the document keeps its own project.
    static ProjectResult saveCopy(const BookDocument &document, const QString &projectFile);

    // Asked after a book was read, before the open succeeds: a protected book asks
    // for its password (or a user's name and password) here. Refused ends the opening
    // with "Import Project failed..."; Cancelled ends it with no message (the user
    // chose not to open it). The shell sets it; none by default.
    enum class OpenCheckResult { Granted, Refused, Cancelled };
    using OpenCheck = std::function<OpenCheckResult(BookDocument &document)>;
    static void setOpenCheck(const OpenCheck &check);

    // The template description file of a template name (desktop or mobile); empty
    // when it is not installed. By default the templates installed with the program.
    using TemplateLocator = std::function<QString(const QString &name, bool mobile)>;
    static void setTemplateLocator(const TemplateLocator &locator);
    static QString locateTemplate(const QString &name, bool mobile);

    static OpenCheck openCheck();
};
