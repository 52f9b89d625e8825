#include "shell/EnginePreviewBuilder.h"

#include "foundation/AppStrings.h"
#include "foundation/WorkerException.h"
#include "output/BookParts.h"
#include "output/web/FlashBookOutput.h"
#include "output/web/HTMLConfigInfo.h"
#include "output/OutputCopies.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "project/BookDocument.h"
#include "templates/FlashTemplate.h"

#include <QMutex>

struct EnginePreviewBuilder::Memory
{
    QMutex mutex;
    std::shared_ptr<const FlashBookOutput::PagePlan> plan; // of the last rebuild that was written whole
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
    bool settingsOnly = false;
    QString viewers; // the folders of the desktop and phone templates, whose viewers the book carries

    PreviewBuildResult run(const QString &folder, const std::atomic_bool &stop) override
    {
        std::shared_ptr<const FlashBookOutput::PagePlan> previous;
        {
            QMutexLocker lock(&memory->mutex);
            previous = settingsOnly ? memory->plan : nullptr;
            memory->plan.reset(); // until this rebuild is through
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
    job->settingsOnly = changeFlags == PreviewChange::Settings;
    // The phone template can be another one without a change of pages; its viewer is then another.
    job->viewers = job->flashTmpl->templateFolder() + QLatin1Char('\n')
                   + (job->mobileTemplate ? job->mobileTemplate->templateFolder() : FlashTemplate::defaultMobileTemplateName());
    return job;
}
