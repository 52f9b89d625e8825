#include "pages/PageImport.h"

#include "foundation/AppStrings.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/PDFSearch.h"
#include "pages/PDFWidePage.h"
#include "pages/PageNotifications.h"
#include "pages/PageRenderer.h"
#include "pages/PdfDocument.h"
#include "pages/PdfOutline.h"
#include "platform/NotificationCenter.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryDir>
#include <poppler-qt6.h>

PageImport::PageImport(const ImportParament &parament, const QString &workspace, QObject *parent)
    : QObject(parent), m_parament(parament), m_workspace(QDir::cleanPath(QFileInfo(workspace).absoluteFilePath()))
{
}

PageImport::~PageImport() = default;

bool PageImport::fail(const PageResult &result)
{
    m_result = result;
    m_pageSource.reset();
    m_outline.reset();
    m_pdfSearch.reset();
    m_mobileSearch.reset();
    return false;
}

PageResult PageImport::check(const ImportParament &parament)
{
    PageImport import(parament, QString());
    Plan plan;
    return import.plan(&plan);
}

PageResult PageImport::plan(Plan *plan) const
{
    if (m_parament.sourceFiles.isEmpty())
        return PageResult::failure(PageError::NoPages,
                                   loadAppString(QStringLiteral("PageImport-No file was chosen to import."),
                                                 QStringLiteral("No file was chosen to import.")));

    // Opening the PDF here reports a missing, protected or damaged file before any
    // work starts.
    plan->outline = std::make_shared<FlashOutline>();
    if (m_parament.isPDFImport()) {
        auto pdf = std::make_shared<FlashPageSourcePDF>();
        pdf->setPdfFile(QFileInfo(m_parament.sourceFiles.first()).absoluteFilePath());
        pdf->setPassword(m_parament.strPassword);
        pdf->setPageRange(m_parament.strPageRange);
        pdf->setWidePageMode(m_parament.iWidePageMode);
        PageResult opened;
        const std::unique_ptr<Poppler::Document> doc = PdfDocument::open(pdf->pdfFile(), pdf->password(), &opened);
        if (!doc)
            return opened;
        PDFWidePage wide(pdf->pdfFile(), pdf->password(), pdf->pageRange());
        wide.setDetectWidePage(pdf->widePageMode());
        wide.buildLeftPageOrderList(*doc);
        if (!wide.result().ok())
            return wide.result();
        plan->units = wide.leftPageOrderList();
        PageResult bookmarks;
        plan->outline = PdfOutline::read(*doc, plan->units, &bookmarks);
        if (!plan->outline)
            return bookmarks;
        plan->source = pdf;
        return PageResult::success();
    }
    auto img = std::make_shared<FlashPageSourceImg>();
    QStringList files;
    for (const QString &file : m_parament.sourceFiles)
        files << QFileInfo(file).absoluteFilePath();
    img->setImageFiles(files);
    const PageResult planned = img->pageUnits(&plan->units);
    if (!planned.ok())
        return planned;
    plan->source = img;
    return PageResult::success();
}

bool PageImport::run()
{
    m_result = PageResult::success();
    Plan plan;
    if (const PageResult planned = this->plan(&plan); !planned.ok())
        return fail(planned);
    const std::shared_ptr<FlashPageSource> source = plan.source;
    const QList<PageUnit> &units = plan.units;
    const std::shared_ptr<FlashOutline> outline = plan.outline;
    const bool isPdf = m_parament.isPDFImport();
    source->setQualityLevel(m_parament.iQualityLevel);
    source->setNormalPageSize(m_normalPageSize);
    source->setWorkspace(m_workspace);

    // Stage beside the workspace, on the same file system, so that the finished
    // pages can be moved into place by renaming.
    const QFileInfo workspaceInfo(m_workspace);
    if (!QDir().mkpath(workspaceInfo.absolutePath()))
        return fail(PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(workspaceInfo.absolutePath())));
    QTemporaryDir staging(workspaceInfo.absolutePath() + QStringLiteral("/.") + workspaceInfo.fileName()
                          + QStringLiteral(".import-XXXXXX"));
    if (!staging.isValid())
        return fail(PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(workspaceInfo.absolutePath())));
    for (auto kind : FlashPageSource::kPictureKinds)
        if (!QDir(staging.path()).mkpath(FlashPageSource::folderName(kind)))
            return fail(PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(staging.path())));

    const int count = bookPageCount(units);
    std::vector<QString> texts(size_t(isPdf ? count : 0));
    QMutex progressMutex;
    int done = 0;
    PageRenderer::Options options;
    options.normalBox = source->normalPageSize();
    options.threads = m_threads;
    options.stop = &m_stop;
    options.pageDone = [&] {
        // Posted under the lock so that "index" arrives in increasing order.
        QMutexLocker lock(&progressMutex);
        ++done;
        NotificationCenter::defaultCenter()->postNotification(
            ImportProgressInfoMSG, this, {{"index", done}, {"count", count}, {"id", m_identifier}});
    };
    QList<PageRenderer::Job> jobs = PageRenderer::jobsForUnits(units, staging.path(), isPdf);
    const PageResult rendered = PageRenderer::run(*source, jobs, options, isPdf ? &texts : nullptr);
    if (!rendered.ok())
        return fail(rendered);
    if (m_stop)
        return fail(PageResult::failure(PageError::Cancelled, PageMessages::cancelled()));

    const PageResult committed = commit(staging.path());
    if (!committed.ok())
        return fail(committed);
    staging.setAutoRemove(false); // it has become the workspace

    source->setPagesFromUnits(units);
    // A picture the same as another of its page was written once: its entry names
    // that file, in the workspace the staging folder has become.
    const QString stagingRoot = staging.path() + QLatin1Char('/');
    for (const PageRenderer::Job &job : std::as_const(jobs)) {
        for (const PageRenderer::Target &target : job.targets) {
            const int i = target.bookPage - 1;
            const std::pair<FlashPageSource::PictureKind, QString> written[] = {
                {FlashPageSource::PictureKind::Normal, target.paths.normal},
                {FlashPageSource::PictureKind::Phone, target.paths.phone}};
            for (const auto &[kind, path] : written) {
                QList<FlashPagePtr> &list = source->pageList(kind);
                if (i >= 0 && i < list.size() && list[i] && path.startsWith(stagingRoot))
                    list[i]->setPageFilePath(m_workspace + QLatin1Char('/') + path.mid(stagingRoot.size()));
            }
        }
    }
    QStringList pageTexts;
    pageTexts.reserve(qsizetype(texts.size()));
    for (QString &t : texts)
        pageTexts << std::move(t);
    if (!isPdf)
        pageTexts = QStringList(count, QString()); // pictures have no text: one blank entry per page
    m_pageSource = source;
    m_outline = outline;
    m_pdfSearch = std::make_shared<PDFSearch>(pageTexts);
    m_mobileSearch = std::make_shared<PDFSearch>(pageTexts);
    return true;
}

PageResult PageImport::commit(const QString &staging)
{
    const QFileInfo info(m_workspace);
    QDir parent(info.absolutePath());
    QString old;
    if (info.exists()) {
        // Move the old workspace aside first; it is put back if the swap fails.
        QTemporaryDir aside(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".old-XXXXXX"));
        if (!aside.isValid())
            return PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(info.absolutePath()));
        aside.setAutoRemove(false);
        old = aside.path();
        if (!QDir().rmdir(old) || !parent.rename(m_workspace, old))
            return PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(m_workspace));
    }
    if (!parent.rename(staging, m_workspace)) {
        if (!old.isEmpty())
            parent.rename(old, m_workspace);
        return PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(m_workspace));
    }
    // The staging folder was made private; the workspace gets ordinary permissions.
    QFile::setPermissions(m_workspace, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                           | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                           | QFileDevice::ExeOther);
    if (!old.isEmpty())
        QDir(old).removeRecursively();
    return PageResult::success();
}
