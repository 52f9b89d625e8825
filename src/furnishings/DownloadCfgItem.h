#pragma once
// The files a book offers its readers to download, as the download configuration keeps
// them in its workspace folder: the settings file ".cfg" (a property list) beside the
// copied whole PDF, "pages/" with the single-page PDFs and "attachments/".
//
// ".cfg" keys: "file" (the whole PDF), "url" (its web address), "fileType" (0 the
// file, 1 the address), "hasPDF", "hasPages" (0 or 1), "prefix" (shown before the page
// number of a page file), "pages" and "attachs" (lists of paths). A stored path may be
// relative to the workspace when it begins with "./"; read back, any other path stands
// for the workspace's copy of that file ("./<name>", "./pages/<name>",
// "./attachments/<name>"), so a ".cfg" names no file outside its workspace. A file of
// the workspace is used only when, links followed, it lies inside the workspace.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

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

// The choices ".cfg" keeps, as the download configuration shows them.
struct DownloadSettings
{
    QString file;    // the whole PDF as typed (a path, maybe "./name" in the workspace)
    QString url;     // its web address
    QString prefix;  // shown before the page number of a page file
    QStringList pages;   // the single-page files in page order
    QStringList attachs; // the attachments in list order
    bool hasPDF = false;
    bool hasPages = false;
    int fileType = 0; // 0 the file, 1 the web address

    friend bool operator==(const DownloadSettings &, const DownloadSettings &) = default;
};

class DownloadCfgItem
{
public:
    // ".cfg" of a workspace.
    static QString settingsFile(const QString &workspace);
    // The workspace's ".cfg"; nothing when there is none or it is no settings file.
    static std::optional<DownloadSettings> readSettings(const QString &workspace);
    // Writes ".cfg" atomically, making the workspace when it is missing.
    static bool writeSettings(const QString &workspace, const DownloadSettings &settings, QString *error = nullptr);
    // The downloads the workspace's ".cfg" offers; empty when there is none or it cannot
    // be read. Files are taken from the workspace (the dialog copied them there) and
    // only when they exist, never a hidden file (".cfg", ".info" with the source's
    // password); a web address for the whole PDF is taken as it is.
    static BookDownloads downloadsForWorkspace(const QString &workspace);
    // A stored path: "./" at its start means the workspace (a path that leads out of
    // it names nothing: ""); other paths as they are.
    static QString resolvedPath(const QString &stored, const QString &workspace);
    // The workspace's copy of a stored file, in subFolder ("" for the workspace itself),
    // under the file's name: what a book offers. "" when there is none, and for hidden
    // names.
    static QString workspaceCopy(const QString &stored, const QString &workspace, const QString &subFolder);
    // The file a stored path names when it exists, else the workspace's copy; "" for none.
    static QString existingFile(const QString &stored, const QString &workspace, const QString &subFolder);
};
