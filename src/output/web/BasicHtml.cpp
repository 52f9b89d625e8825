#include "output/web/BasicHtml.h"

#include "foundation/AppStrings.h"
#include "output/web/OutputFiles.h"

#include <QRegularExpression>

namespace {

using OutputFiles::escapeHtml;

QString pageHead(const QString &title, const QString &description)
{
    return QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                          "<title>%1</title>\n<meta name=\"description\" content=\"%2\">\n"
                          "<style>body{font:17px/1.6 Georgia,serif;max-width:46em;margin:1em auto;padding:0 1em;color:#222}"
                          "img{max-width:100%;height:auto;border:1px solid #ccc}nav{margin:1em 0;font-family:sans-serif}"
                          "nav a{margin-right:1.2em}</style>\n</head>\n<body>\n")
        .arg(escapeHtml(title), escapeHtml(description));
}

QString paragraphs(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\\n\\s*\\n"));
    QString out;
    const QString normalized = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &para : normalized.split(breaks)) {
        const QString simple = para.simplified();
        if (!simple.isEmpty())
            out += QStringLiteral("<p>%1</p>\n").arg(escapeHtml(simple));
    }
    return out;
}

} // namespace

void writeBasicHtml(const QString &folder, const BasicHtmlContent &c, const std::atomic_bool *stop,
                    const std::function<void(int, int)> &progress)
{
    OutputFiles::makeFolder(folder);
    const int count = int(c.pictures.size());
    const QString home = QStringLiteral("../../") + OutputFiles::urlPath(c.homePage);
    const QString contents = loadAppString(QStringLiteral("BasicHtml-Contents"), QStringLiteral("Contents"));
    const QString previous = loadAppString(QStringLiteral("BasicHtml-Previous page"), QStringLiteral("Previous page"));
    const QString next = loadAppString(QStringLiteral("BasicHtml-Next page"), QStringLiteral("Next page"));
    const QString openBook = loadAppString(QStringLiteral("BasicHtml-Open the book"), QStringLiteral("Open the book"));
    const QString pageWord = loadAppString(QStringLiteral("BasicHtml-Page %1"), QStringLiteral("Page %1"));
    const QString lockedNote = loadAppString(QStringLiteral("BasicHtml-This page is protected: open the book to read it."),
                                             QStringLiteral("This page is protected: open the book to read it."));
    auto label = [&](int n) {
        const QString caption = c.captions.value(n - 1);
        return caption.isEmpty() ? pageWord.arg(n) : caption;
    };

    QString index = pageHead(c.title, c.description);
    index += QStringLiteral("<h1>%1</h1>\n<nav><a href=\"%2\">%3</a></nav>\n<ol>\n")
                 .arg(escapeHtml(c.title), escapeHtml(home), escapeHtml(openBook));
    for (int n = 1; n <= count; ++n)
        index += QStringLiteral("<li><a href=\"%1.html\">%2</a></li>\n").arg(QString::number(n), escapeHtml(label(n)));
    index += QStringLiteral("</ol>\n</body>\n</html>\n");
    OutputFiles::writeText(folder + QStringLiteral("/index.html"), index);

    for (int n = 1; n <= count; ++n) {
        OutputFiles::checkStop(stop);
        QString nav = QStringLiteral("<nav><a href=\"index.html\">%1</a>").arg(escapeHtml(contents));
        if (n > 1)
            nav += QStringLiteral("<a href=\"%1.html\" rel=\"prev\">%2</a>").arg(QString::number(n - 1), escapeHtml(previous));
        if (n < count)
            nav += QStringLiteral("<a href=\"%1.html\" rel=\"next\">%2</a>").arg(QString::number(n + 1), escapeHtml(next));
        nav += QStringLiteral("<a href=\"%1#p=%2\">%3</a></nav>\n").arg(escapeHtml(home), QString::number(n), escapeHtml(openBook));
        QString page = pageHead(c.title + QStringLiteral(" - ") + label(n), c.description);
        page += nav;
        page += QStringLiteral("<h1>%1</h1>\n<h2>%2</h2>\n").arg(escapeHtml(c.title), escapeHtml(label(n)));
        if (!c.pictures.at(n - 1).isEmpty())
            page += QStringLiteral("<p><img src=\"../../%1\" alt=\"%2\"></p>\n")
                        .arg(escapeHtml(c.pictures.at(n - 1)), escapeHtml(label(n)));
        if (c.locked.value(n - 1))
            page += QStringLiteral("<p><em>%1</em></p>\n").arg(escapeHtml(lockedNote));
        else
            page += paragraphs(c.texts.value(n - 1));
        page += nav + QStringLiteral("</body>\n</html>\n");
        OutputFiles::writeText(folder + QLatin1Char('/') + QString::number(n) + QStringLiteral(".html"), page);
        if (progress)
            progress(n, count);
    }
}
