#include "project/BookCoverPage.h"

#include "annotations/FlashPagesAnnotations.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/PDFSearch.h"
#include "project/BookDocument.h"
#include "output/web/OutputFiles.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace BookCoverPage {

int sourcePage(const FlashPageSource &source, const QString &picture)
{
    const QFileInfo info(picture);
    if (!info.isFile())
        return 0;
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
        const QList<FlashPagePtr> &pages = source.pageList(kind);
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const QFileInfo page(pages[i] ? pages[i]->pageFilePath() : QString());
            if (page.isFile() && page.size() == info.size() && OutputFiles::sameBytes(page.filePath(), picture))
                return int(i) + 1;
        }
    }
    return 0;
}

bool Pictures::isComplete() const
{
    return !large.isEmpty() && !normal.isEmpty() && !thumb.isEmpty() && !phone.isEmpty();
}

PageResult makePictures(const QString &picture, const QString &folder, int qualityLevel, const QSize &normalPageSize,
                        Pictures *pictures)
{
    if (!QDir().mkpath(folder))
        return PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(folder));
    FlashPageSourceImg source;
    source.setWorkspace(folder);
    source.setImageFiles({picture});
    source.setQualityLevel(qualityLevel);
    source.setNormalPageSize(normalPageSize);
    if (!source.generateBasePages() || !source.generateNormalPages() || !source.generatePhonePages())
        return source.lastResult();
    if (source.pageCount() != 1)
        return PageResult::failure(PageError::UnreadablePicture, PageMessages::unreadablePicture(picture, QString()));
    *pictures = {source.pages().first()->pageFilePath(), source.normalPages().first()->pageFilePath(),
                 source.thumbPages().first()->pageFilePath(), source.phonePages().first()->pageFilePath()};
    return PageResult::success();
}

namespace {

// Every bookmark at or after page (1-based) moves on by one.
void shiftBookmarks(const QList<FlashOutlineItemPtr> &items, int page)
{
    for (const FlashOutlineItemPtr &item : items) {
        if (!item)
            continue;
        if (item->pageUrl().isEmpty() && item->pageIndex() >= page)
            item->setPageIndex(item->pageIndex() + 1);
        shiftBookmarks(item->childItems(), page);
    }
}

} // namespace

bool placePage(BookDocument &document, Placement placement, qint64 index, const Pictures &pictures)
{
    const std::shared_ptr<FlashPageSource> source = document.pageSource();
    if (!source || !pictures.isComplete())
        return false;
    const qint64 count = source->pageCount();
    const bool insert = placement == Placement::Insert;
    if (index < 0 || index > count || (!insert && index == count))
        return false;

    const QString files[] = {pictures.large, pictures.normal, pictures.thumb, pictures.phone};
    int k = 0;
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
        auto page = std::make_shared<FlashPageImage>();
        page->setPageFilePath(files[k++]);
        page->setPageIndex(int(index) + 1);
        QList<FlashPagePtr> &list = source->pageList(kind);
        // A list behind the others (phone pictures not made yet) gets blanks up to the page.
        while (list.size() < index)
            list << FlashPagePtr();
        if (insert)
            list.insert(index, page);
        else if (index < list.size())
            list[index] = page;
        else
            list << page;
        for (qsizetype i = 0; i < list.size(); ++i)
            if (list[i])
                list[i]->setPageIndex(int(i) + 1);
    }

    const int page = int(index) + 1;
    if (insert)
        document.parts().coverPageInserted(page);
    auto shown = document.parts().coverPages();
    if (shown && !shown->contains(page))
        document.parts().setCoverPages(*shown << page);
    if (insert) {
        for (const std::shared_ptr<PDFSearch> &search : {document.pdfSearch(), document.mobileSearch()})
            if (search && !search->isEmpty())
                search->insertBlankPage(int(index));
        if (const auto annotations = document.pagesAnnotations())
            annotations->insertBlankPage(int(std::min<qint64>(index, annotations->count())));
        if (const auto outline = document.flashOutline())
            shiftBookmarks(outline->items(), page);
        if (const auto tabs = document.parts().bookmarkTabs())
            for (BookMarkTabItem &tab : tabs->TabItems())
                if (tab.pageIndex() >= page)
                    tab.setPageIndex(tab.pageIndex() + 1);
    } else {
        for (const std::shared_ptr<PDFSearch> &search : {document.pdfSearch(), document.mobileSearch()})
            if (search && page <= search->pageCount())
                search->setPageText(page, QString());
    }
    return true;
}

} // namespace BookCoverPage
