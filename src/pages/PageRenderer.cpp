#include "pages/PageRenderer.h"

#include "foundation/AppStrings.h"
#include "pages/FlashPageSource.h"
#include "pages/PagePictureWriter.h"
#include "pages/PageWorkers.h"

#include <QDir>
#include <QMutex>

namespace PageRenderer {

QList<Job> jobsForUnits(const QList<PageUnit> &units, const QString &root, bool withText)
{
    using Kind = FlashPageSource::PictureKind;
    const auto path = [&](Kind kind, int bookPage) {
        return root + QLatin1Char('/') + FlashPageSource::folderName(kind) + QLatin1Char('/')
             + QString::number(bookPage) + QStringLiteral(".jpg");
    };
    QList<Job> jobs;
    jobs.reserve(units.size());
    for (const PageUnit &unit : units) {
        Job job;
        job.sourcePage = unit.sourcePage;
        for (int i = 0; i < unit.bookPageCount(); ++i) {
            const int bookPage = unit.firstBookPage + i;
            Target t;
            t.part = !unit.split ? FlashPage::Part::Whole : (i == 0 ? FlashPage::Part::Left : FlashPage::Part::Right);
            t.paths = {path(Kind::Large, bookPage), path(Kind::Normal, bookPage), path(Kind::Thumb, bookPage),
                       path(Kind::Phone, bookPage)};
            t.textIndex = withText ? bookPage - 1 : -1;
            t.bookPage = bookPage;
            job.targets << t;
        }
        jobs << job;
    }
    return jobs;
}

PageResult run(const FlashPageSource &source, QList<Job> &jobs, const Options &options, std::vector<QString> *texts)
{
    Job *const allJobs = jobs.data(); // detached here: the workers each change their own job
    QMutex mutex;
    PageResult failure;
    const auto fail = [&](const PageResult &r) {
        QMutexLocker lock(&mutex);
        if (failure.ok())
            failure = r;
        return false;
    };

    const PageWorkers::WorkerFactory makeWorker = [&]() -> PageWorkers::ItemFunction {
        PageResult opened;
        std::shared_ptr<PageReader> reader = source.createReader(&opened);
        if (!reader) {
            fail(opened);
            return {};
        }
        auto writer = std::make_shared<PagePictureWriter>(options.normalBox);
        return [&, reader, writer](int index) {
            Job &job = allJobs[index];
            PageResult r;
            const QImage page = reader->readPage(job.sourcePage, &r);
            if (page.isNull())
                return fail(
                    r.ok() ? PageResult::failure(PageError::DamagedFile,
                                                 loadAppString(QStringLiteral("PageImport-A page could not be read."),
                                                               QStringLiteral("A page could not be read.")))
                           : r);
            QList<PagePictureWriter::Part> parts;
            for (const Target &target : job.targets)
                parts << PagePictureWriter::Part{target.part, target.paths};
            r = writer->write(page, parts);
            if (!r.ok())
                return fail(r);
            for (qsizetype k = 0; k < parts.size(); ++k)
                job.targets[k].paths = parts.at(k).paths;
            for (const Target &target : job.targets) {
                if (options.stop && options.stop->load())
                    return false;
                if (texts && target.textIndex >= 0 && size_t(target.textIndex) < texts->size())
                    (*texts)[size_t(target.textIndex)] = reader->pageText(job.sourcePage, target.part);
                if (options.pageDone)
                    options.pageDone();
            }
            return true;
        };
    };

    const int threads = options.threads > 0 ? options.threads : PageWorkers::defaultThreadCount();
    const bool finished = PageWorkers::run(int(jobs.size()), threads, makeWorker, options.stop);
    if (!failure.ok())
        return failure;
    if (!finished)
        return PageResult::failure(PageError::WriteFailed,
                                   loadAppString(QStringLiteral("PageImport-The pages could not be made."),
                                                 QStringLiteral("The pages could not be made.")));
    if (options.stop && options.stop->load())
        return PageResult::failure(PageError::Cancelled, PageMessages::cancelled());
    return PageResult::success();
}

} // namespace PageRenderer
