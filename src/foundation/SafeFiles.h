#pragma once
// The one way the program copies a file, and the rule for every file that a project,
// a package or a per-user folder names: the file is used only when, with every
// symbolic link on its way followed, it lies inside the folder it belongs to. A link
// that leads out of that folder is refused, whatever its name says.
//
// copyFile writes the copy as a new file in the target's own folder and renames it
// over the target, so the target is either its old self or the complete copy (a link
// at the target's name is replaced, never written through); the copy keeps the
// source's time of change and permissions. It reads the source only when the source, links followed,
// is a file inside its home folder (by default the folder the source is named in),
// and says why when it copies nothing.

#include <QString>

namespace SafeFiles {

// path with every link followed; for a path that does not exist (yet), its nearest
// existing folder resolved and the rest appended. Empty for an empty path.
QString resolvedPath(const QString &path);

// True when path, links followed, lies below folder, links followed (folder itself
// does not count).
bool liesInside(const QString &path, const QString &folder);

// Why the file at path is no file of folder: "" when, links followed, it is a file
// that lies inside folder; otherwise a sentence naming the file (missing, no file, or
// leading out of the folder).
QString fileProblem(const QString &path, const QString &folder);

// Replaces target with a copy of source (see above); home is the folder the source
// must lie in, the source's own folder when empty. Copying a file onto itself changes
// nothing and succeeds. False, with *error, when it copied nothing; the target is then
// as it was.
bool copyFile(const QString &source, const QString &target, QString *error = nullptr, const QString &home = QString());

} // namespace SafeFiles
