#pragma once
// The ".info" property list of a book's download workspace, written when a book is
// imported: which PDF the book came from and how it was opened, so that the
// download settings can offer that PDF (whole, or split into single pages) later.
//   "pdf"     the source PDF's path (empty for a book made from pictures)
//   "pwd"     its password
//   "range"   the page range ("ALL" or a range expression)
//   "detect"  the wide-page mode (integer)
// The file holds a password, so only its owner may read it.

#include <QString>
#include <optional>

struct ImportParament;

struct DownloadWorkspaceInfo
{
    QString pdf;
    QString pwd;
    QString range = QStringLiteral("ALL");
    int detect = 0;

    static QString fileName() { return QStringLiteral(".info"); }
    static DownloadWorkspaceInfo fromImport(const ImportParament &parament);

    // Writes ".info" into folder (created when missing), atomically.
    bool writeToFolder(const QString &folder, QString *error = nullptr) const;
    // Nothing when the folder has no readable ".info".
    static std::optional<DownloadWorkspaceInfo> readFromFolder(const QString &folder);
    // The same, with "pdf" and "pwd" kept only when "pdf" names the book's own source
    // document bookPdf (the one its pages were made from; "" for a book made from
    // pictures): a project from elsewhere names no other PDF of the user's to be split
    // into the book. The log says when one was left out.
    static std::optional<DownloadWorkspaceInfo> readForBook(const QString &folder, const QString &bookPdf);

    friend bool operator==(const DownloadWorkspaceInfo &, const DownloadWorkspaceInfo &) = default;
};
