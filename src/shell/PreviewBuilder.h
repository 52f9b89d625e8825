#pragma once
// What the live preview needs of the output engine: "write the open book into this
// folder", split in two steps so the book can go on being edited meanwhile.
//
//   prepare()  on the main thread: takes private copies of what the book is made of
//              (pages, templates, outline, search text, furnishings) and returns a job;
//   run()      on a worker thread: writes the preview book from those copies into the
//              folder ("index.html", "files/", "mobile/") over the older one, writing
//              only the files that changed, each one whole; returns early when stop
//              is set (the next run completes what it left).

#include <QJsonObject>
#include <QString>
#include <atomic>
#include <memory>

// The viewer settings a rebuild wrote, for a view that shows the book to bring it up to
// date without loading it again (PreviewPane::applySettings).
struct PreviewSettings
{
    QJsonObject desktop, mobile; // bookConfig of the desktop book and of its phone version
    QString extraScript;         // what follows bookConfig in the configuration script (the bookmark tabs)
    QString viewers;             // names the templates whose viewers the book carries
    // The rebuild changed no page and no file the viewer reads at its start: only the
    // configuration (and files it names) can differ from the book written before.
    bool pagesKept = false;

    bool isEmpty() const { return desktop.isEmpty(); }
    // Whether a view showing the book shown can take these settings in place: the same
    // viewers and bookmark tabs, pages kept (the viewer itself judges the rest).
    bool fitsOnto(const PreviewSettings &shown) const
    {
        return pagesKept && !isEmpty() && !shown.isEmpty() && viewers == shown.viewers && extraScript == shown.extraScript;
    }
};

struct PreviewBuildResult
{
    enum class Outcome { Written, Failed, Cancelled };
    Outcome outcome = Outcome::Written;
    QString message; // why it failed
    PreviewSettings settings; // of a written book; empty when the builder does not say

    bool ok() const { return outcome == Outcome::Written; }
    static PreviewBuildResult written(PreviewSettings settings = {}) { return {Outcome::Written, {}, std::move(settings)}; }
    static PreviewBuildResult failed(const QString &message) { return {Outcome::Failed, message, {}}; }
    static PreviewBuildResult cancelled() { return {Outcome::Cancelled, {}, {}}; }
};

class PreviewJob
{
public:
    virtual ~PreviewJob() = default;
    virtual PreviewBuildResult run(const QString &folder, const std::atomic_bool &stop) = 0;
};

class PreviewBuilder
{
public:
    virtual ~PreviewBuilder() = default;
    // Null, with *error saying why, when there is nothing to build (no book open,
    // no pages) or the copies cannot be made.
    virtual std::unique_ptr<PreviewJob> prepare(int changeFlags, QString *error) = 0;
};

// The parts of the preview a change touches (the preview-change flag). Every bit
// asks for a rebuild; the engine finds for itself which files changed, so the bits
// only say what changed. All (-1) rebuilds everything.
namespace PreviewChange {
constexpr int Settings = 0x1;    // design settings of a template
constexpr int Pages = 0x2;       // pages inserted, removed, replaced or reordered
constexpr int Thumbnails = 0x4;
constexpr int LargePages = 0x8;
constexpr int Outline = 0x10;    // bookmarks
constexpr int Furnishings = 0x20; // tabs, scenes, backgrounds, plug-ins, icons
constexpr int Annotations = 0x40; // links and media of the pages
constexpr int Assistant = 0x100; // narration of the speaking assistant
constexpr int All = -1;
} // namespace PreviewChange
