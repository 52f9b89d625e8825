#pragma once
// Scene package archives ("scp", also "zip"): the package folder's contents at the
// archive's top, or inside one enclosing folder. Archives come from other people and
// from the network: they are unpacked through the safe extractor into a new folder,
// accepted only when they hold a package ("Meta.xml" and "Resources/"), and only then
// put in the place of the older folder, which stays as it was on any failure.

#include <QString>

namespace ScenePackage {

// Unpacks archive into a new folder below workFolder and returns the package's
// folder there; "" with *error when the archive is unreadable, refused or holds no
// package.
QString unpackArchive(const QString &archive, const QString &workFolder, QString *error = nullptr);

// Puts a copy of source in the place of target (made when missing). target is
// replaced only once the copy is complete; on failure it is left as it was.
bool replaceFolder(const QString &source, const QString &target, QString *error = nullptr);

// Installs archive as the scene name in scenesFolder (replacing a scene of that
// name); the installed folder, or "" with *error.
QString installArchive(const QString &archive, const QString &scenesFolder, const QString &name,
                       QString *error = nullptr);

// Writes folder's contents into archive (replaced only when complete).
bool exportFolder(const QString &folder, const QString &archive, QString *error = nullptr);

} // namespace ScenePackage
