#include "shell/ui/BookmarkOutlineView.h"

#include "foundation/AppStrings.h"
#include "furnishings/FlashOutline.h"
#include "shell/ui/FlashOutlineDelegate.h"

#include <QHeaderView>
#include <QPainter>

BookmarkOutlineView::BookmarkOutlineView(QWidget *parent)
    : QTreeView(parent)
{
    m_delegate = new FlashOutlineDelegate(this);
    m_delegate->setOutlineView(this);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(FlashOutlineDelegate::TitleColumn, QHeaderView::Stretch);
    header()->setSectionResizeMode(FlashOutlineDelegate::PageColumn, QHeaderView::ResizeToContents);
    setUniformRowHeights(true);
    const auto activate = [this](const QModelIndex &index) {
        const int page = index.data(FlashOutlineDelegate::PageRole).toInt();
        if (page > 0)
            emit pageActivated(page);
    };
    connect(this, &QTreeView::clicked, this, activate);
    connect(this, &QTreeView::activated, this, activate);
}

void BookmarkOutlineView::setOutline(std::shared_ptr<FlashOutline> outline)
{
    // Drags out of the list are watched in the window the list stands in by now.
    m_delegate->attachDragDeleteView();
    m_delegate->setFlashOutline(std::move(outline));
    expandToDepth(0);
    viewport()->update();
}

void BookmarkOutlineView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    if (!m_delegate->flashOutline() || model()->rowCount() > 0)
        return;
    // An open book without bookmarks says so.
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     loadAppString("BookmarkOutlineV-The book has no bookmarks.", "The book has no bookmarks."));
}
