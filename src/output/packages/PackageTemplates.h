#pragma once
// The template folders of the desktop book kinds in the user's resource folder.
//
//   WIN_EXE_ZIP_FOLDER()  ".../Zendarrow/flipbook/WinExe"  holds the launcher "book.data"
//   MAC_APP_ZIP_FOLDER()  ".../Zendarrow/flipbook/MacApp"  holds the bundle "mac.app"
//
// Each is installed from its package in the program's resources ("packages/win-exe.zip",
// "packages/mac-app.zip") when it is missing or older than that package (the package
// file's modification time is its version), so the folders are ready whenever these
// functions return. A missing package leaves the folder empty; the packagers then
// report the template missing.

#include <QString>

QString WIN_EXE_ZIP_FOLDER();
QString MAC_APP_ZIP_FOLDER();

namespace PackageTemplates {

// The launcher stub inside WIN_EXE_ZIP_FOLDER().
QString winExeStubPath();
// The bundle template inside MAC_APP_ZIP_FOLDER().
QString macAppTemplatePath();

} // namespace PackageTemplates
