#pragma once
// Books and folder snapshots for the project tests.

#include <QMap>
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

// Every file and folder below folder (hidden ones too); for files what tells a
// rewritten file from an untouched one: size, inode and change time.
QMap<QString, QString> snapshot(const QString &folder);

// The text of a file.
QString readText(const QString &path);
bool writeText(const QString &path, const QString &text);

} // namespace ProjectFixtures
