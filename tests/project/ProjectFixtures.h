#pragma once
// Pictures and imported books for the project tests.

#include <QString>
#include <QStringList>
#include <memory>

class BookDocument;

namespace ProjectFixtures {

// n pictures "p1.png" ... in folder, each of its own colour and size.
QStringList writePictures(const QString &folder, int n);

// A document holding an import of the files into workspace (the document's own
// temporary folder when workspace is empty), with the default templates loaded.
std::unique_ptr<BookDocument> importedBook(const QStringList &files, const QString &workspace = QString(),
                                           int quality = 2);

} // namespace ProjectFixtures
