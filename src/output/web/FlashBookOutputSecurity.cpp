// Book protection and narration: the steps that work on the complete book folder
// after every other file is written (protection) or beside the pages (narration),
// and what the other steps leave out of a protected book.

#include "output/web/FlashBookOutput.h"

#include "foundation/AppLog.h"
#include "foundation/AppStrings.h"
#include "output/web/BasicHtml.h"
#include "output/narration/BookNarrationWriter.h"
#include "output/security/BookProtector.h"
#include "output/security/BookSecurity.h"
#include "output/narration/GenerateAssistant.h"
#include "output/web/OutputFiles.h"
#include "pages/FlashPageSource.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMultiHash>
#include <QSet>

bool FlashBookOutput::isProtectedBook() const
{
    return m_parts.isProtected();
}

QList<int> FlashBookOutput::protectedPageList() const
{
    if (!isProtectedBook() || !m_pageSource)
        return {};
    return m_parts.security()->protectedPages(m_pageSource->pageCount());
}

QStringList FlashBookOutput::protectedPictures() const
{
    QStringList pictures;
    const QList<int> pages = protectedPageList();
    using Kind = FlashPageSource::PictureKind;
    for (int n : pages) {
        for (Kind kind : FlashPageSource::kPictureKinds) {
            const FlashPagePtr page = m_pageSource->pageList(kind).value(n - 1);
            if (page && !page->pageFilePath().isEmpty())
                pictures << page->pageFilePath();
        }
    }
    // The book cover shows the page it was made from and the page it became.
    if (m_parts.coverShowsAnyOf(pages))
        pictures << m_parts.coverFile();
    return pictures;
}

bool FlashBookOutput::isProtectedPagePicture(const QString &file) const
{
    const QFileInfo info(file);
    const QString path = info.canonicalFilePath();
    if (path.isEmpty())
        return false;
    for (const QString &protectedPicture : protectedPictures()) {
        const QFileInfo picture(protectedPicture);
        // The same file, or a copy of it made elsewhere.
        if (picture.canonicalFilePath() == path
            || (picture.size() == info.size() && OutputFiles::sameBytes(picture.filePath(), path)))
            return true;
    }
    return false;
}

void FlashBookOutput::leaveOutProtectedPictureCopies(const QString &folder) const
{
    // The pictures of the pages are the protector's: what it leaves there belongs to
    // readable pages (one may look exactly like a protected page).
    static const QStringList pageFolders{QStringLiteral("files/secure/"), QStringLiteral("files/page/"),
                                         QStringLiteral("files/large/"),  QStringLiteral("files/thumb/"),
                                         QStringLiteral("files/small/"),  QStringLiteral("mobile/files/page/"),
                                         QStringLiteral("mobile/files/secure/")};
    QMultiHash<qint64, QString> bySize;
    for (const QString &picture : protectedPictures())
        if (const QFileInfo info(picture); info.isFile())
            bySize.insert(info.size(), info.filePath());
    if (bySize.isEmpty())
        return;
    const QDir book(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = book.relativeFilePath(file);
        if (std::any_of(pageFolders.cbegin(), pageFolders.cend(), [&](const QString &f) { return relative.startsWith(f); }))
            continue;
        const auto candidates = bySize.values(it.fileInfo().size());
        if (std::none_of(candidates.cbegin(), candidates.cend(), [&](const QString &p) { return OutputFiles::sameBytes(p, file); }))
            continue;
        // A furnishing whose picture is a protected page's: the book goes without it.
        AppLog::shared().error(QStringLiteral("\"%1\" is left out of the protected book: it is a picture of a protected page.")
                                   .arg(relative));
        if (!QFile::remove(file))
            OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The book cannot be protected: %1"),
                                            QStringLiteral("The book cannot be protected: %1"))
                                  .arg(QStringLiteral("cannot remove %1").arg(relative)));
    }
}

QString FlashBookOutput::sharablePicture(const QString &file) const
{
    if (file.isEmpty() || !isProtectedPagePicture(file))
        return file;
    // A protected page never shows outside the book: the cover's thumbnail stands in
    // when the cover is readable, otherwise the book has no share picture.
    if (protectedPageList().contains(1))
        return QString();
    const FlashPagePtr cover = m_pageSource->thumbPages().value(0);
    return cover && cover->isImage() ? cover->pageFilePath() : QString();
}

void FlashBookOutput::leaveOutProtectedPages(BasicHtmlContent &content) const
{
    for (int n : protectedPageList()) {
        if (n > content.pictures.size())
            break;
        content.pictures[n - 1].clear();
        if (n <= content.texts.size())
            content.texts[n - 1].clear();
        while (content.locked.size() < n)
            content.locked << false;
        content.locked[n - 1] = true;
    }
}

void FlashBookOutput::protectStagedBook(const QString &folder)
{
    if (!isProtectedBook())
        return;
    // The job's own copy: every publish gets a fresh content key, and the codes made
    // for this book stay with it. Users read from an earlier book bring that book's
    // key back (refreshUsersList).
    BookSecurity security(*m_parts.security());
    security.generateRc4String();
    BookProtector protector(security, m_pageSource->pageCount());
    if (!protector.protectBook(folder))
        // A book that was asked to be protected is never published unprotected.
        OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The book cannot be protected: %1"),
                                        QStringLiteral("The book cannot be protected: %1"))
                              .arg(protector.errorString()));
    leaveOutProtectedPictureCopies(folder);
}

bool FlashBookOutput::writeNarration(const QString &folder)
{
    if (!m_parts.assistant())
        return false;
    // The spreads follow the book as it is published now, whatever page count the
    // narration was made for.
    GenerateAssistant assistant(*m_parts.assistant());
    assistant.setTotalPage(m_pageSource->pageCount());
    assistant.fitResourceListToPages();
    BookNarrationWriter writer(assistant);
    if (!writer.writeToBook(folder))
        OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The narration cannot be put into the book: %1"),
                                        QStringLiteral("The narration cannot be put into the book: %1"))
                              .arg(writer.errorString()));
    return writer.soundCount() > 0;
}
