#pragma once
// The documents a batch takes, as rows: a PDF file, a folder of pictures (its pictures
// in natural name order become the pages) or a project. Each row starts with the output
// settings it is given, named and titled after its document.

#include "batch/BatchItem.h"

#include <QStringList>
#include <optional>

namespace BatchSources {

// The row for path; none, with the reason in *refusal, for anything else (a folder
// without pictures, a file of another kind, a path that does not exist).
std::optional<BatchItem> itemFor(const QString &path, const ConvertParament &output, int qualityLevel,
                                 QString *refusal = nullptr);

// Every extension a batch takes besides folders (for panels and drop targets).
QStringList acceptedExtensions();

} // namespace BatchSources
