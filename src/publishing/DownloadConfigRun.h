#pragma once
// One run of the download configuration, on a worker: copies the chosen whole PDF and
// the attachments into the download workspace and makes the single-page PDFs of the
// book's source PDF (PDFSeparate), as the window's choices, taken on the main thread,
// say.
//
// Nothing the user has is lost on the way: a folder ("attachments", "pages") is
// replaced only once its new contents are complete, a file is never copied onto
// itself, and a chosen file that has gone is taken from the copy the workspace still
// holds of it. A run that is stopped leaves the folders as they were.
//
// Progress goes out as DownloadConfigNotification with "index", "count" and "id" (the
// run's identifier), from this object and from its PDFSeparate, one per file or page.

#include "furnishings/DownloadCfgItem.h"
#include "pages/PDFSeparate.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

class DownloadConfigRun : public QObject
{
    Q_OBJECT
public:
    struct Input
    {
        QString workspace;
        // The book's source PDF, as its ".info" describes it.
        QString pdfFile;
        QString password;
        QString pageRange = QStringLiteral("ALL");
        int detectWidePage = 0;
        QString identifier;
        DownloadSettings settings; // the window's choices
    };
    struct Result
    {
        bool cancelled = false;
        bool separationFailed = false;
        QString separationError;
        QStringList missingSources; // chosen files that no longer exist
        QStringList failures;       // files that could not be copied, each with the reason
        std::optional<QStringList> pages; // the new page list when the pages were made
        bool succeeded() const
        {
            return !cancelled && !separationFailed && missingSources.isEmpty() && failures.isEmpty();
        }
    };

    explicit DownloadConfigRun(Input input, QObject *parent = nullptr);

    // Blocks until done.
    Result run();
    // Makes a running run() stop before its next file or page. Any thread.
    void stop();
    bool isStopped() const { return m_stop; }

    // The number of progress steps the run expects (known once it has begun).
    int progressCount() const { return m_progressCount; }

    // The number of pages of the source PDF once wide pages are split; 0 without one.
    static int pdfPageCount(const Input &input);
    // Whether the single pages are made again: when "pages" holds PDF files, exactly
    // when their number differs from the source's page count (a count of 0 keeps
    // them); without the folder, when single pages are offered.
    static bool pagesToBeMade(const QString &workspace, int pageCount, bool singlePagesOffered);
    // The name a chosen file has in the workspace, or "" when it cannot have one there
    // (a hidden name, or the name of the workspace's own folders).
    static QString workspaceName(const QString &path);

private:
    void postProgress();
    // Copies a chosen file (the workspace's copy when it has gone) into the folder into
    // under its own name; with once, a name already there is refused.
    void copyChosenFile(const QString &stored, const QString &subFolder, const QString &into, bool once,
                        Result &result);
    void copyWholePDF(Result &result);
    void copyAttachments(Result &result);
    void makePages(int pageCount, Result &result);

    Input m_input;
    PDFSeparate m_separate;
    std::atomic_bool m_stop{false};
    std::atomic_int m_progressCount{0};
    std::atomic_int m_progressIndex{0};
};
