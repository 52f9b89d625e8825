#pragma once
// Bounds on what the program reads from files that anyone may have made: projects,
// template descriptions and settings, outlines, tab files, property lists, archives.
// Nesting and size are checked before a parser sees the input, so no file can run
// the stack out, fill the memory or keep a parser busy for minutes; a file beyond a
// bound is refused with a message that says which bound.

#include <QByteArray>
#include <QString>
#include <optional>

namespace InputLimits {

// Levels of nesting of what a file holds: property-list containers, outline levels.
constexpr int kMaxNesting = 256;
// Levels of XML elements: the same, and room for the elements around them (a
// project's root, its outline element, a part's wrapper), so that whatever the
// program holds it can write and read again.
constexpr int kMaxXmlNesting = kMaxNesting + 16;
// One XML document (a project with the text of thousands of pages stays far below).
constexpr qint64 kMaxXmlBytes = qint64(128) << 20;
// One property list, and the values it may hold once shared references are counted
// as often as they are used.
constexpr qint64 kMaxPropertyListBytes = qint64(32) << 20;
constexpr qint64 kMaxPropertyListObjects = 1000000;
// Bookmarks of one outline, at every level.
constexpr int kMaxOutlineItems = 200000;

// A text file (settings, user lists): read whole.
constexpr qint64 kMaxTextBytes = qint64(32) << 20;

// The bytes of a file no larger than limit; nullopt with *error ("cannot be read:
// ...", "is larger than ... MB") otherwise. Nothing beyond the limit is read.
std::optional<QByteArray> readFile(const QString &path, qint64 limit, QString *error = nullptr);

// "nested deeper than 256 levels", "larger than 128 MB": the end of a refusal message.
QString nestedTooDeep(int levels = kMaxNesting);
QString tooLarge(qint64 bytes);

} // namespace InputLimits
