#include "shell/ui/BookmarkOutlineView.h"

#include "foundation/AppStrings.h"
#include "furnishings/FlashOutline.h"

#include <QHeaderView>

BookmarkOutlineView::BookmarkOutlineView(QWidget *parent)
    : QTreeWidget(parent)
{
    setColumnCount(2);
    setHeaderLabels({loadAppString(QStringLiteral("BookmarkOutlineV-Bookmark"), QStringLiteral("Bookmark")),
                     loadAppString(QStringLiteral("BookmarkOutlineV-Page"), QStringLiteral("Page"))});
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    setUniformRowHeights(true);
    setEditTriggers(NoEditTriggers);
    const auto activate = [this](QTreeWidgetItem *item) {
        const int page = item ? item->data(0, PageRole).toInt() : 0;
        if (page > 0)
            emit pageActivated(page);
    };
    connect(this, &QTreeWidget::itemClicked, this, activate);
    connect(this, &QTreeWidget::itemActivated, this, activate);
}

void BookmarkOutlineView::setOutline(const FlashOutline *outline)
{
    clear();
    if (!outline || outline->isEmpty()) {
        auto *hint = new QTreeWidgetItem(this, {loadAppString(QStringLiteral("BookmarkOutlineV-The book has no bookmarks."),
                                                              QStringLiteral("The book has no bookmarks."))});
        hint->setFlags(Qt::NoItemFlags);
        return;
    }
    for (const FlashOutlineItemPtr &item : outline->items())
        addItems(invisibleRootItem(), *item);
    expandToDepth(0);
}

void BookmarkOutlineView::addItems(QTreeWidgetItem *parent, const FlashOutlineItem &item)
{
    auto *row = new QTreeWidgetItem(parent);
    row->setText(0, item.caption());
    row->setToolTip(0, item.caption());
    row->setData(0, PageRole, item.pageIndex());
    row->setData(0, UrlRole, item.pageUrl());
    if (!item.pageUrl().isEmpty())
        row->setText(1, item.pageUrl());
    else if (item.pageIndex() > 0)
        row->setText(1, QString::number(item.pageIndex()));
    for (const FlashOutlineItemPtr &child : item.childItems())
        addItems(row, *child);
}
