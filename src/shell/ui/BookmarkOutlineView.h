#pragma once
// The bookmark outline of the open book as a read-only tree: activating a bookmark
// (click, Return) asks the preview to turn to its page.

#include <QTreeWidget>

class FlashOutline;
class FlashOutlineItem;

class BookmarkOutlineView : public QTreeWidget
{
    Q_OBJECT
public:
    static constexpr int PageRole = Qt::UserRole + 1;
    static constexpr int UrlRole = Qt::UserRole + 2;

    explicit BookmarkOutlineView(QWidget *parent = nullptr);

    // Shows outline (null or empty: the hint that the book has no bookmarks).
    void setOutline(const FlashOutline *outline);

signals:
    void pageActivated(int page); // from 1

private:
    void addItems(QTreeWidgetItem *parent, const FlashOutlineItem &item);
};
