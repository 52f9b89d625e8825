#pragma once
// The cover maker program "BookCoverMaker" (tools/bookcovermaker) as the book cover
// editor uses it: where it is installed, its install from the resource package of the
// same name, and the command line of one run.
//
// A run gets the argument string "i=<picture>|c=<design>|o=<cover>|f=<0|1>[|e=1]"
// ("i" only when the picture exists; "|" and "=" inside the paths written ":7C:" and
// ":3D:"), then "-AppleLanguages" and the UI language in parentheses. Runs themselves
// are started by BookCoverRenderQueue.

#include <QString>
#include <QStringList>

class BookCoverProgram
{
public:
    // "Zendarrow/<app folder name>/BookCover" of the user's data folder (made when
    // missing); the install folder, which an upgrade replaces whole.
    static QString saveAppPath();
    static QString appPath(); // saveAppPath() + "/BookCoverMaker.app"
    static QString getBookCoverExePath(); // the executable inside appPath()
    static QString packageVersion() { return QStringLiteral("2"); }

    // Installs the program when it is missing or older than the package; false only
    // when it is not there afterwards (no package, or the install failed).
    static bool installBookCoverExe();
    // The same from another package file (tests).
    static bool installBookCoverExeFromPackage(const QString &packagePath);

    static QString argumentString(const QString &inputFile, const QString &outputFile, const QString &configFile,
                                  bool forceSave, bool isEditMode);
    // The three arguments of a run: the argument string, "-AppleLanguages", "(<code>)".
    static QStringList arguments(const QString &inputFile, const QString &outputFile, const QString &configFile,
                                 bool forceSave, bool isEditMode);
};
