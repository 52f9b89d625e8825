#pragma once
// Writes every page of a PDF as its own PDF file "N.pdf" (N the book page number
// from 1) into a workspace folder: the pages picked by the page range, with wide
// pages split into a left and a right file as the wide-page mode says (see
// PDFWidePage). A protected PDF gives protected page files with the same password.
//
// start() blocks, using several threads; for each page written it posts
// DownloadConfigNotification with "index" (the page number), "count" (the page
// count) and "id" (identifier()), this object as sender. Page files are written
// under a temporary name and renamed when complete, so a file that exists is whole.

#include <QObject>
#include <QString>
#include <atomic>

class PDFSeparate : public QObject
{
    Q_OBJECT
public:
    explicit PDFSeparate(QObject *parent = nullptr);
    ~PDFSeparate() override;

    QString pdfFile() const { return m_pdfFile; }
    void setPdfFile(const QString &file) { m_pdfFile = file; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString pageRange() const { return m_pageRange; }
    void setPageRange(const QString &range) { m_pageRange = range; }
    int detectWidePage() const { return m_detectWidePage; }
    void setDetectWidePage(int mode) { m_detectWidePage = mode; }
    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString &id) { m_identifier = id; }
    // The folder the page files go to; when empty at start(), a new unique
    // temporary folder is made and set.
    QString workspace() const { return m_workspace; }
    void setWorkspace(const QString &folder) { m_workspace = folder; }

    // 0 when every page file exists afterwards, the number of missing page files
    // otherwise (after stop(), or when pages could not be written), -1 when the PDF
    // cannot be opened or its page range is wrong (errorString() says why).
    int start();
    // Makes a running start() begin no further pages, and a later one begin none: a
    // stop that comes before the start is kept. Any thread.
    void stop() { m_stop = true; }

    // Number of page files of the prepared document (0 before start()).
    int PDFPageCount() const { return m_pageCount; }
    QString errorString() const { return m_errorString; }

private:
    QString m_pdfFile;
    QString m_password;
    QString m_pageRange = QStringLiteral("ALL");
    int m_detectWidePage = 0;
    QString m_identifier;
    QString m_workspace;
    std::atomic_bool m_stop{false};
    int m_pageCount = 0;
    QString m_errorString;
};
