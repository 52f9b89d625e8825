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

    // Shows the outline of the open book (empty: the hint that it has no bookmarks).
    void setOutline(const FlashOutline *outline);
    // Shows nothing: no book is open.
    void clearOutline() { clear(); }

signals:
    void pageActivated(int page); // from 1

private:
    void addItems(QTreeWidgetItem *parent, const FlashOutlineItem &item);
};
