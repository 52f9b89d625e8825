#pragma once
// Importing a PDF or a list of pictures into a book's page workspace.
//
// run() blocks (call it from a worker thread) and makes, for every book page, the
// four pictures described in FlashPageSource.h from one render of its source page,
// using every core. A PDF also gives its bookmarks (the outline) and the text of
// every page (the search data, one copy for the desktop and one for the mobile book).
//
// Everything is made in a hidden staging folder beside the workspace and moved into
// place only when all pages are done, so a failed or cancelled import leaves the
// workspace exactly as it was (an older workspace is replaced only on success).
//
// Progress: ImportProgressInfoMSG with "index", "count" and "id" after each page,
// the import object as sender. stop() may be called from any thread.

#include "batch/ImportParament.h"
#include "pages/PageError.h"
#include "pages/PageUnit.h"

#include <QObject>
#include <QSize>
#include <atomic>
#include <memory>

class FlashOutline;
class FlashPageSource;
class PDFSearch;

class PageImport : public QObject
{
    Q_OBJECT
public:
    PageImport(const ImportParament &parament, const QString &workspace, QObject *parent = nullptr);
    ~PageImport() override;

    // The identifier sent as "id" with the progress.
    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString &id) { m_identifier = id; }
    // The book's page box (the template's page size); 1080 x 1440 unless set.
    void setNormalPageSize(const QSize &size) { m_normalPageSize = size; }
    // Worker threads to use; 0 (the default) uses one per core.
    void setThreadCount(int threads) { m_threads = threads; }

    // Runs the import; true on success. On failure result() says why: FileNotFound,
    // PasswordNeeded, WrongPassword, DamagedFile, UnreadablePicture, BadPageRange,
    // NoPages, WriteFailed or Cancelled.
    bool run();
    // Opens the source and plans its pages as run() does, without making any: says
    // before anything else happens whether an import of these settings can go ahead.
    static PageResult check(const ImportParament &parament);
    void stop() { m_stop = true; }
    bool isStopped() const { return m_stop.load(); }

    const PageResult &result() const { return m_result; }
    // The results of a successful run.
    std::shared_ptr<FlashPageSource> pageSource() const { return m_pageSource; }
    std::shared_ptr<FlashOutline> outline() const { return m_outline; }
    std::shared_ptr<PDFSearch> pdfSearch() const { return m_pdfSearch; }
    std::shared_ptr<PDFSearch> mobileSearch() const { return m_mobileSearch; }

private:
    struct Plan
    {
        std::shared_ptr<FlashPageSource> source;
        QList<PageUnit> units;
        std::shared_ptr<FlashOutline> outline;
    };
    PageResult plan(Plan *plan) const;
    bool fail(const PageResult &result);
    PageResult commit(const QString &staging);

    ImportParament m_parament;
    QString m_workspace;
    QString m_identifier;
    QSize m_normalPageSize{1080, 1440};
    int m_threads = 0;
    std::atomic_bool m_stop{false};
    PageResult m_result;
    std::shared_ptr<FlashPageSource> m_pageSource;
    std::shared_ptr<FlashOutline> m_outline;
    std::shared_ptr<PDFSearch> m_pdfSearch;
    std::shared_ptr<PDFSearch> m_mobileSearch;
};
