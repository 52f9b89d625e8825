#pragma once
// What the round trips of the harnesses compare: a model a reader made, described by
// its values, so that two readings of the same thing describe alike wherever their
// files lie. A file is described by its bytes, never by its path.

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class FlashOutlineItem;
class FlashPagesAnnotations;
class GenerateAssistant;

namespace FuzzModels {

// "none" for an empty path, "missing" for a path naming no file, else a digest of the
// file's bytes.
QString file(const QString &path);
// Every entry below folder by its relative name, each file with its digest; "none"
// for an empty path, "missing" for one naming no folder.
QString folder(const QString &path);
// Caption, page, address and level of each bookmark, in order, children nested.
QString outline(const QList<std::shared_ptr<FlashOutlineItem>> &items);
// The annotations of each page, in order.
QStringList annotations(const FlashPagesAnnotations &annotations);
// Pages, play options, the character (by name and bytes) and each spread's kind,
// text and sounds (by their bytes).
QStringList narration(const GenerateAssistant &assistant);

} // namespace FuzzModels
