#pragma once
// What a list of files asks the shell to do: files dropped on the window, files
// chosen in a panel, or paths given on the command line.
//   a project (".qvprj")           open it (the first one when there are several)
//   else a PDF                     import it (the first one) as a new book
//   else pictures                  import them, in natural name order, as a new book
// Anything else is unsupported.

#include <QString>
#include <QStringList>

struct BookFileRequest
{
    enum class Kind { None, Project, Pdf, Pictures, Unsupported };

    Kind kind = Kind::None;
    QStringList files;

    static BookFileRequest fromPaths(const QStringList &paths);

    static QString projectExtension() { return QStringLiteral("qvprj"); }
    static QStringList pictureExtensions();
    // Every extension the shell takes (for drop targets and open panels).
    static QStringList acceptedExtensions();
    // Sorts file paths by name the way people count: "2.jpg" before "10.jpg".
    static QStringList naturalOrder(QStringList paths);
};

// The command line of the program, without "-AppleLanguages (code)".
struct StartupRequest
{
    bool demo = false;           // "--demo": open the demo book at once
    BookFileRequest file;        // a project, PDF or pictures given as arguments

    static StartupRequest parse(const QStringList &arguments);
};
