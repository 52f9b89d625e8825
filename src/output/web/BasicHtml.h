#pragma once
// The basic web pages of a book: one plain page per book page with its picture and
// its text, for readers without scripts and for search engines. They lie in
// files/basic/: index.html lists the pages, <n>.html is page n; each links to the
// previous and next page, the list and the book itself ("../../<name>.html#p=<n>").

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

struct BasicHtmlContent
{
    QString title;
    QString description;
    QString homePage;        // file name of the book's home page, "<name>.html"
    QStringList pictures;    // per page: URL path of its picture, relative to the book folder
    QStringList texts;       // per page: its text ("" for none)
    QStringList captions;    // per page: its caption ("" for the page number)
    QList<bool> locked;      // per page: true for a protected page, shown as a note only
};

// Writes the pages into folder (files/basic of the book); progress(n, count) after
// each page. Throws WorkerException on failure or when *stop is set.
void writeBasicHtml(const QString &folder, const BasicHtmlContent &content, const std::atomic_bool *stop,
                    const std::function<void(int, int)> &progress = {});
