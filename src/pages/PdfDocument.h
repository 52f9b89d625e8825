#pragma once
// Opening a PDF with poppler for rendering and text, telling apart the reasons it
// cannot be opened. A poppler document must only be used by one thread at a time:
// workers each open their own.

#include "pages/PageError.h"

#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

namespace PdfDocument {

// The opened, unlocked document with antialiased rendering, or null with the
// reason in result: FileNotFound, PasswordNeeded (protected, no password given),
// WrongPassword, or DamagedFile (not a PDF, unreadable, or without pages).
std::unique_ptr<Poppler::Document> open(const QString &path, const QString &password, PageResult *result);

} // namespace PdfDocument
