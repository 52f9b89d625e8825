#pragma once
// The bookmark outline of the open book, edited in place (FlashOutlineDelegate):
// bookmarks are renamed, moved by dragging and deleted by dragging them out of the
// list. Activating a bookmark (click, Return) asks the preview to turn to its page.

#include <QTreeView>
#include <memory>

class FlashOutline;
class FlashOutlineDelegate;

class BookmarkOutlineView : public QTreeView
{
    Q_OBJECT
public:
    explicit BookmarkOutlineView(QWidget *parent = nullptr);

    // Shows the outline of the open book, which is edited in place (null: no book).
    void setOutline(std::shared_ptr<FlashOutline> outline);
    // Shows nothing: no book is open.
    void clearOutline() { setOutline(nullptr); }
    FlashOutlineDelegate *outlineDelegate() const { return m_delegate; }

signals:
    void pageActivated(int page); // from 1

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    FlashOutlineDelegate *m_delegate = nullptr;
};
