#pragma once
// Files and folders as the tests make and inspect them.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <source_location>

class QMimeData;

namespace TestFiles {

// The bytes of a file; empty when it cannot be read.
QByteArray readFile(const QString &path);

// The file's text, read as UTF-8; empty when it cannot be read.
QString readText(const QString &path);

// Writes data to path (an empty file without data), making the folders above it.
// A file that cannot be written fails the running test at the caller's line; returns
// whether it was written.
bool writeFile(const QString &path, const QByteArray &data = {},
               std::source_location caller = std::source_location::current());

// The permission bits (07777) of the file or folder at path (a link followed); 0 when
// there is none.
uint modeOf(const QString &path);

// Every entry below folder, hidden ones too, by path relative to folder: a file's
// bytes, "<dir>" for a folder, "-> target" for a symbolic link. Tells whether a run
// changed anything in the folder.
QMap<QString, QByteArray> folderContents(const QString &folder);

// Every entry below folder, hidden ones too, by relative path: for a file its size,
// inode and change time, "<dir>" for a folder. Tells an untouched file from one
// written again with the same bytes.
QMap<QString, QString> folderStamps(const QString &folder);

// The relative paths of every entry below folder, hidden ones too, sorted.
QStringList folderListing(const QString &folder);

// Drag data holding the files at paths, as a file manager gives it (the caller owns it).
QMimeData *filesMime(const QStringList &paths);

} // namespace TestFiles
