#pragma once
// The bookmark outline of a book: a tree of bookmarks, each with a caption and the
// book page it opens (counted from 1; 0 when it opens none) or a web address.
//
// Items are shared: the outline holds its top-level items, every item its children,
// and a child knows its parent without owning it. `level` is 1 at the top and one
// more on every level below; the tree operations keep it right.
//
// Saved form (embedded in the project file):
//   <Outline>
//     <Item caption="Chapter 1" page="1">
//       <Item caption="Section 1.1" page="2"/>
//       <Item caption="Web site" page="0" url="https://example.com/"/>
//     </Item>
//   </Outline>
// Levels and parents are not stored; they follow from the nesting.

#include <QList>
#include <QString>
#include <memory>

class QDomElement;
class QXmlStreamWriter;

class FlashOutlineItem;
using FlashOutlineItemPtr = std::shared_ptr<FlashOutlineItem>;

class FlashOutlineItem : public std::enable_shared_from_this<FlashOutlineItem>
{
public:
    static FlashOutlineItemPtr create(const QString &caption = {}, int pageIndex = 0);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    int pageIndex() const { return m_pageIndex; }
    void setPageIndex(int pageIndex) { m_pageIndex = pageIndex; }
    // Web address the bookmark opens instead of a page; empty for page bookmarks.
    QString pageUrl() const { return m_pageUrl; }
    void setPageUrl(const QString &url) { m_pageUrl = url; }
    int level() const { return m_level; }
    void setLevel(int level) { m_level = level; }

    FlashOutlineItemPtr parent() const { return m_parent.lock(); }
    void setParent(const FlashOutlineItemPtr &parent) { m_parent = parent; }

    QList<FlashOutlineItemPtr> &childItems() { return m_children; }
    const QList<FlashOutlineItemPtr> &childItems() const { return m_children; }
    // Replaces the children; each new child gets this item as its parent.
    void setChildItems(const QList<FlashOutlineItemPtr> &children);
    // Appends a child, making this item its parent and setting its level below this one.
    void appendChild(const FlashOutlineItemPtr &child);

    // Makes target a deep copy of source at the given level: caption, page, web
    // address and, recursively, new copies of all children (parents pointing into
    // the copy). Target's former children are dropped.
    static void copyItem(const FlashOutlineItem &source, const FlashOutlineItemPtr &target, int level);

    // Number of items in this item's subtree, itself included.
    int subtreeCount() const;

    // True when a is b's parent, grandparent or a further ancestor.
    static bool checkIsParentOf(const FlashOutlineItem *a, const FlashOutlineItem *b);

private:
    FlashOutlineItem() = default;

    QString m_caption;
    int m_pageIndex = 0;
    QString m_pageUrl;
    int m_level = 1;
    std::weak_ptr<FlashOutlineItem> m_parent;
    QList<FlashOutlineItemPtr> m_children;
};

class FlashOutline
{
public:
    QList<FlashOutlineItemPtr> &items() { return m_items; }
    const QList<FlashOutlineItemPtr> &items() const { return m_items; }
    // Appends a top-level item (level 1, no parent).
    void appendItem(const FlashOutlineItemPtr &item);
    bool isEmpty() const { return m_items.isEmpty(); }
    void clear() { m_items.clear(); }
    // Number of bookmarks at every level.
    int totalCount() const;
    // A new outline of new items holding the same bookmarks.
    std::shared_ptr<FlashOutline> deepCopy() const;

    // True when item hangs in this outline.
    bool contains(const FlashOutlineItem *item) const;
    // The list item stands in: its parent's children, or the top-level items.
    QList<FlashOutlineItemPtr> &siblingsOf(const FlashOutlineItem &item);
    // item's index in that list; -1 when it is not in this outline.
    int indexOf(const FlashOutlineItem *item) const;

    // Moves item, with its subtree and every field, under newParent (null: the top
    // level) at index, a position in the target list counted while item still stands
    // where it was (negative or past the end: the end). Levels below are renumbered.
    // Refused (false, nothing changes) when item or newParent is not in this outline,
    // or newParent is item itself or lies in its subtree.
    bool moveItem(const FlashOutlineItemPtr &item, const FlashOutlineItemPtr &newParent, int index);
    // Removes item with its subtree; false when it is not in this outline.
    bool removeItem(const FlashOutlineItem *item);

    static QString elementName() { return QStringLiteral("Outline"); }
    void writeXml(QXmlStreamWriter &writer) const;
    // Replaces the items by those of an `Outline` element. Unknown children are skipped.
    bool readXml(const QDomElement &element, QString *error = nullptr);

    QString toXmlString() const;
    bool fromXmlString(const QString &xml, QString *error = nullptr);

private:
    QList<FlashOutlineItemPtr> m_items;
};
