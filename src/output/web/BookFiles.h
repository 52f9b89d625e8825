#pragma once
// The files of a finished web book folder, as "/"-separated names relative to it, in
// a stable order. Hidden files and anything that is not a regular file (or a link to
// one) are left out; links to folders are not followed, so a book never pulls in
// files from elsewhere.

#include <QString>
#include <QStringList>

namespace BookFiles {

QStringList relativeFileNames(const QString &bookFolder);

} // namespace BookFiles
