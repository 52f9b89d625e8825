#include "shell/EnginePreviewBuilder.h"

#include "foundation/AppStrings.h"
#include "foundation/WorkerException.h"
#include "output/BookParts.h"
#include "output/web/FlashBookOutput.h"
#include "output/web/HTMLConfigInfo.h"
#include "output/OutputCopies.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "project/BookDocument.h"
#include "templates/FlashTemplate.h"

#include <QMutex>
#include <QSize>
#include <QStringList>

namespace {

// What says the pages are the ones a rebuild wrote: every picture file, kind after kind,
// and the page box (what the engine compares to take its pages over).
struct PagesPrint
{
    QStringList pictures;
    QSize pageBox;

    static PagesPrint of(const FlashPageSource &source)
    {
        PagesPrint print{{}, source.normalPageSize()};
        for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
            for (const FlashPagePtr &page : source.pageList(kind))
                print.pictures << (page ? page->pageFilePath() : QString());
            print.pictures << QString(); // the end of a kind
        }
        return print;
    }
    bool operator==(const PagesPrint &other) const { return pageBox == other.pageBox && pictures == other.pictures; }
};

} // namespace

struct EnginePreviewBuilder::Memory
{
    QMutex mutex;
    std::shared_ptr<const FlashBookOutput::PagePlan> plan; // of the last rebuild that was written whole
    // The copy of the pages that rebuild read, and what they were in the book then: a
    // rebuild for settings alone over the same pages reads that copy again rather than
    // copy them anew (for a large book the longest part of its time on the window's thread).
    std::shared_ptr<FlashPageSource> pageSource;
    PagesPrint pages;
};

namespace {

// Private copies of the book, read by the engine on the worker thread.
class EnginePreviewJob : public PreviewJob
{
public:
    std::shared_ptr<FlashPageSource> pageSource;
    std::shared_ptr<const FlashTemplate> flashTmpl;
    std::shared_ptr<const FlashTemplate> mobileTemplate;
    BookParts parts;
    std::shared_ptr<const PDFSearch> pdfSearch;
    std::shared_ptr<const PDFSearch> mobileSearch;
    HTMLConfigInfo html;
    std::shared_ptr<EnginePreviewBuilder::Memory> memory;
    PagesPrint pages; // of the book's pages when the copy was taken
    bool settingsOnly = false;
    QString viewers; // the folders of the desktop and phone templates, whose viewers the book carries

    PreviewBuildResult run(const QString &folder, const std::atomic_bool &stop) override
    {
        std::shared_ptr<const FlashBookOutput::PagePlan> previous;
        {
            QMutexLocker lock(&memory->mutex);
            previous = settingsOnly ? memory->plan : nullptr;
            memory->plan.reset(); // until this rebuild is through
            memory->pageSource.reset();
        }
        try {
            FlashBookOutput output(pageSource, flashTmpl, folder, EnginePreviewBuilder::homePageName());
            output.setPreviousPlan(previous);
            output.setMobileTemplate(mobileTemplate);
            output.setBookParts(parts);
            output.setPdfSearch(pdfSearch);
            output.setMobileSearch(mobileSearch);
            output.setHTMLConfig(html);
            output.setOuputTheMobileFiles(true);
            output.setStopFlag(&stop);
            output.setLinksProgramFiles(true); // the player is not copied at every rebuild
            output.updateBook(); // a rebuild writes only what changed
            {
                QMutexLocker lock(&memory->mutex);
                memory->plan = output.pagePlan();
                if (memory->plan) {
                    memory->pageSource = pageSource;
                    memory->pages = pages;
                }
            }
            PreviewSettings settings;
            settings.desktop = output.configuration().desktop;
            settings.mobile = output.configuration().mobile;
            settings.extraScript = output.configuration().tabsScript;
            settings.viewers = viewers;
            settings.pagesKept = output.reusedPages();
            return PreviewBuildResult::written(std::move(settings));
        } catch (const WorkerException &e) {
            if (e.isCancellation() || stop)
                return PreviewBuildResult::cancelled();
            return PreviewBuildResult::failed(e.reason());
        }
    }
};

} // namespace

EnginePreviewBuilder::EnginePreviewBuilder(BookProvider provider)
    : m_provider(std::move(provider)), m_memory(std::make_shared<Memory>())
{
}

std::unique_ptr<PreviewJob> EnginePreviewBuilder::prepare(int changeFlags, QString *error)
{
    const Book book = m_provider ? m_provider() : Book{};
    const BookDocument *document = book.document;
    if (!document || !document->pageSource() || document->pageSource()->pageCount() == 0)
        return nullptr;
    auto job = std::make_unique<EnginePreviewJob>();
    job->settingsOnly = changeFlags == PreviewChange::Settings;
    job->pages = PagesPrint::of(*document->pageSource());
    if (job->settingsOnly) {
        QMutexLocker lock(&m_memory->mutex);
        if (m_memory->pageSource && m_memory->pages == job->pages)
            job->pageSource = m_memory->pageSource; // a rebuild that takes the pages over only reads it
    }
    if (!job->pageSource)
        job->pageSource = OutputCopies::copyPageSource(*document->pageSource());
    job->flashTmpl = OutputCopies::copyTemplate(*document->flashTmpl());
    job->mobileTemplate = document->mobileTemplate()->isLoaded()
        ? OutputCopies::copyTemplate(*document->mobileTemplate())
        : nullptr;
    if (!job->pageSource || !job->flashTmpl) {
        if (error)
            *error = loadAppString(QStringLiteral("PreviewBuilder-The book's template or pages cannot be read."),
                                   QStringLiteral("The book's template or pages cannot be read."));
        return nullptr;
    }
    job->parts = document->parts().copy();
    job->pdfSearch = std::make_shared<const PDFSearch>(*document->pdfSearch());
    job->mobileSearch = std::make_shared<const PDFSearch>(*document->mobileSearch());
    job->html.setHTMLTitle(book.title);
    job->html.setLoadType(0); // each device its viewer: the mobile mode shows mobile/
    job->html.setHasMobileVersion(true);
    job->memory = m_memory;
    // The phone template can be another one without a change of pages; its viewer is then another.
    job->viewers = job->flashTmpl->templateFolder() + QLatin1Char('\n')
                   + (job->mobileTemplate ? job->mobileTemplate->templateFolder() : FlashTemplate::defaultMobileTemplateName());
    return job;
}
