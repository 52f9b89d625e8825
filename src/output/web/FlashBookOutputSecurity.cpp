// Book protection and narration: the steps that work on the complete book folder
// after every other file is written (protection) or beside the pages (narration),
// and what the other steps leave out of a protected book.

#include "output/web/FlashBookOutput.h"

#include "foundation/AppStrings.h"
#include "output/web/BasicHtml.h"
#include "output/narration/BookNarrationWriter.h"
#include "output/security/BookProtector.h"
#include "output/security/BookSecurity.h"
#include "output/narration/GenerateAssistant.h"
#include "output/web/OutputFiles.h"
#include "pages/FlashPageSource.h"

#include <QFile>
#include <QFileInfo>
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

bool FlashBookOutput::isProtectedPagePicture(const QString &file) const
{
    const QFileInfo info(file);
    const QString path = info.canonicalFilePath();
    if (path.isEmpty())
        return false;
    using Kind = FlashPageSource::PictureKind;
    for (int n : protectedPageList()) {
        for (Kind kind : FlashPageSource::kPictureKinds) {
            const FlashPagePtr page = m_pageSource->pageList(kind).value(n - 1);
            if (!page || page->pageFilePath().isEmpty())
                continue;
            const QFileInfo picture(page->pageFilePath());
            // The same file, or a copy of it made elsewhere.
            if (picture.canonicalFilePath() == path
                || (picture.size() == info.size() && OutputFiles::sameBytes(picture.filePath(), path)))
                return true;
        }
    }
    return false;
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
