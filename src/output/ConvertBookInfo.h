#pragma once
// Progress of an output job.
//
// ConvertBookNotification is posted by the engine while it writes a book (from the
// job's worker thread) with userInfo:
//   "id"     the job's task identifier (string)
//   "index"  progress within the step (int, 0 .. count)
//   "count"  size of the step (int, never 0)
//   "type"   the step, a row of the progress text table (int, 0 .. 16)
// Steps come in rising order; 16 ("Publish the book completely!") is posted when the
// book is written, and for an archive before it is compressed.

#include <QString>

inline const QString ConvertBookNotification = QStringLiteral("ConvertBookNotification");

inline constexpr int ConvertBookMessageCount = 17;

// The English progress texts, indexed by "type"; each text is its own lookup key.
extern const char *const ConvertBookInfo[ConvertBookMessageCount];

// The progress text of a step in the UI language; empty outside 0 .. 16.
QString convertBookInfoText(int type);

// The steps, named.
namespace ConvertStep {
enum : int {
    Ready = 0,
    NormalPages = 1,
    ZoomPages = 2,
    ThumbnailPages = 3,
    ExtendFiles = 4,
    AnnotationFiles = 5,
    SearchFiles = 6,
    BookCover = 7,
    MobilePages = 8,
    AssistantResource = 9,
    HomePage = 10,
    BookSettings = 11,
    SceneFiles = 12,
    BookSwf = 13,
    MobileHomePage = 14,
    BasicWebPages = 15,
    Complete = 16,
};
}
