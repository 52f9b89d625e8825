#pragma once
// One document of a batch: what is converted (a PDF, a folder of pictures or a project),
// how it is imported and how its book is written, and how its last conversion went.

#include "batch/ConvertParament.h"
#include "batch/ImportParament.h"

#include <QString>

struct BatchItem
{
    enum class Source { Pdf, Pictures, Project };
    enum class State { Waiting, Converting, Done, Failed, Cancelled };

    Source source = Source::Pdf;
    // The PDF file, the pictures' folder or the project file.
    QString path;
    // The import of a PDF or of pictures (its sourceFiles: the PDF, or the pictures in order).
    ImportParament importParament;
    ConvertParament convertParament;

    State state = State::Waiting;
    // Percent of the conversion done while it runs.
    int percent = 0;
    // Why the last conversion failed, or the book it made.
    QString message;
};
