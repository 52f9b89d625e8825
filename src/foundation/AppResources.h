#pragma once
// Where the program's own resource files lie: window descriptions, language tables,
// viewer templates, bundled furnishings, the demo book.

#include <QString>

namespace AppResources {

// The resource folder: $QUORVEL_RESOURCES when set, else resources/ beside the
// executable's folder (build tree: build/resources), else the installed share folder.
QString resourcePath();

// A path below the resource folder.
QString resourcePath(const QString &relative);

// The folder of the helper programs built with the project (tools/).
QString helperProgramPath();

} // namespace AppResources
