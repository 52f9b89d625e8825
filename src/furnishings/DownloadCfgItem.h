#pragma once
// The files a book offers its readers to download, as the download configuration keeps
// them in its workspace folder: the settings file ".cfg" (a property list) beside the
// copied whole PDF, "pages/" with the single-page PDFs and "attachments/".
//
// ".cfg" keys: "file" (the whole PDF), "url" (its web address), "fileType" (0 the
// file, 1 the address), "hasPDF", "hasPages" (0 or 1), "prefix" (shown before the page
// number of a page file), "pages" and "attachs" (lists of paths). A stored path may be
// relative to the workspace when it begins with "./".

#include <QList>
#include <QString>
#include <QStringList>

struct BookDownloads
{
    QString wholeFile;     // a file on disk or a web address; "" for none
    QStringList pageFiles; // one per page, "" for a page without a file
    QString pagePrefix;
    struct Attachment
    {
        QString name;
        QString file;
    };
    QList<Attachment> attachments;

    bool isEmpty() const { return wholeFile.isEmpty() && pageFiles.isEmpty() && attachments.isEmpty(); }
};

class DownloadCfgItem
{
public:
    // ".cfg" of a workspace.
    static QString settingsFile(const QString &workspace);
    // The downloads the workspace's ".cfg" offers; empty when there is none or it cannot
    // be read. Files are taken from the workspace (the dialog copied them there) and
    // only when they exist; a web address for the whole PDF is taken as it is.
    static BookDownloads downloadsForWorkspace(const QString &workspace);
    // A stored path: "./" at its start means the workspace; other paths as they are.
    static QString resolvedPath(const QString &stored, const QString &workspace);
};
