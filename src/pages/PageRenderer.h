#pragma once
// Renders source pages on every core and writes their pictures: each source page
// is read once (one render of a PDF page), split into halves when asked, and every
// picture of a book page is scaled from that one read.

#include "pages/FlashPage.h"
#include "pages/PageError.h"
#include "pages/PageImaging.h"
#include "pages/PageUnit.h"

#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <vector>

class FlashPageSource;

namespace PageRenderer {

// One book page made from a source page: the part taken and where its pictures
// go; textIndex is the slot its text goes to (-1: no text wanted).
struct Target
{
    FlashPage::Part part = FlashPage::Part::Whole;
    PageImaging::PagePicturePaths paths;
    int textIndex = -1;
    int bookPage = 0; // the book page number, from 1 (0: not known)
};

struct Job
{
    int sourcePage = 0;
    QList<Target> targets;
};

struct Options
{
    QSize normalBox{1080, 1440};
    int threads = 0; // 0: one per core
    const std::atomic_bool *stop = nullptr;
    // Called from a worker thread after each book page is written.
    std::function<void()> pageDone;
};

// Jobs for a whole plan writing every picture into root/<kind>/N.jpg, with text
// slot N - 1 when withText is set.
QList<Job> jobsForUnits(const QList<PageUnit> &units, const QString &root, bool withText);

// Runs the jobs. texts (when given) must have a slot for every textIndex used.
// Stops early on the first failure or when *stop is set (then the result is
// Cancelled); pictures written so far are left for the caller to remove. The
// targets' paths then name the files that hold the pictures: a picture the same as
// another of its page is not written again but names that one's file.
PageResult run(const FlashPageSource &source, QList<Job> &jobs, const Options &options,
               std::vector<QString> *texts = nullptr);

} // namespace PageRenderer
