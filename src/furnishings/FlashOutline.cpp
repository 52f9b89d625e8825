#include "furnishings/FlashOutline.h"

#include "foundation/InputLimits.h"
#include "foundation/XmlUtility.h"

#include <QDomDocument>
#include <QXmlStreamWriter>
#include <algorithm>

namespace {

const QString kItem = QStringLiteral("Item");
const QString kCaption = QStringLiteral("caption");
const QString kPage = QStringLiteral("page");
const QString kUrl = QStringLiteral("url");

void writeItem(QXmlStreamWriter &w, const FlashOutlineItem &item)
{
    w.writeStartElement(kItem);
    w.writeAttribute(kCaption, xmlSafeText(item.caption()));
    w.writeAttribute(kPage, QString::number(item.pageIndex()));
    if (!item.pageUrl().isEmpty())
        w.writeAttribute(kUrl, xmlSafeText(item.pageUrl()));
    for (const FlashOutlineItemPtr &child : item.childItems())
        writeItem(w, *child);
    w.writeEndElement();
}

FlashOutlineItemPtr readItem(const QDomElement &e, int level, const FlashOutlineItemPtr &parent)
{
    auto item = FlashOutlineItem::create(e.attribute(kCaption), e.attribute(kPage).toInt());
    item->setPageUrl(e.attribute(kUrl));
    item->setLevel(level);
    item->setParent(parent);
    return item;
}

void relevel(FlashOutlineItem &item, int level)
{
    item.setLevel(level);
    for (const FlashOutlineItemPtr &child : item.childItems())
        relevel(*child, level + 1);
}

} // namespace

FlashOutlineItemPtr FlashOutlineItem::create(const QString &caption, int pageIndex)
{
    FlashOutlineItemPtr item(new FlashOutlineItem);
    item->m_caption = caption;
    item->m_pageIndex = pageIndex;
    return item;
}

void FlashOutlineItem::setChildItems(const QList<FlashOutlineItemPtr> &children)
{
    m_children = children;
    const FlashOutlineItemPtr self = shared_from_this();
    for (const FlashOutlineItemPtr &child : m_children)
        child->setParent(self);
}

void FlashOutlineItem::appendChild(const FlashOutlineItemPtr &child)
{
    child->setParent(shared_from_this());
    relevel(*child, m_level + 1);
    m_children.append(child);
}

namespace {

// A detached copy of item's subtree, leaving out `skip` (and what is below it).
FlashOutlineItemPtr cloneSubtree(const FlashOutlineItem &item, const FlashOutlineItem *skip)
{
    auto copy = FlashOutlineItem::create(item.caption(), item.pageIndex());
    copy->setPageUrl(item.pageUrl());
    for (const FlashOutlineItemPtr &child : item.childItems())
        if (child.get() != skip)
            copy->childItems().append(cloneSubtree(*child, skip));
    return copy;
}

} // namespace

void FlashOutlineItem::copyItem(const FlashOutlineItem &source, const FlashOutlineItemPtr &target, int level)
{
    // The copy is made of the source as it stands before target is filled: target
    // may already hang inside the source's own subtree (a bookmark dropped into one
    // of its descendants), and it is not copied into itself.
    const FlashOutlineItemPtr copy = cloneSubtree(source, target.get());
    target->m_caption = copy->m_caption;
    target->m_pageIndex = copy->m_pageIndex;
    target->m_pageUrl = copy->m_pageUrl;
    target->m_children.clear();
    target->m_level = level;
    for (const FlashOutlineItemPtr &child : copy->m_children)
        target->appendChild(child);
}

int FlashOutlineItem::subtreeCount() const
{
    int n = 1;
    for (const FlashOutlineItemPtr &child : m_children)
        n += child->subtreeCount();
    return n;
}

bool FlashOutlineItem::checkIsParentOf(const FlashOutlineItem *a, const FlashOutlineItem *b)
{
    if (!a || !b)
        return false;
    for (FlashOutlineItemPtr p = b->parent(); p; p = p->parent())
        if (p.get() == a)
            return true;
    return false;
}

void FlashOutline::appendItem(const FlashOutlineItemPtr &item)
{
    item->setParent(nullptr);
    relevel(*item, 1);
    m_items.append(item);
}

int FlashOutline::totalCount() const
{
    int n = 0;
    for (const FlashOutlineItemPtr &item : m_items)
        n += item->subtreeCount();
    return n;
}

void FlashOutline::writeXml(QXmlStreamWriter &writer) const
{
    writer.writeStartElement(elementName());
    for (const FlashOutlineItemPtr &item : m_items)
        writeItem(writer, *item);
    writer.writeEndElement();
}

bool FlashOutline::readXml(const QDomElement &element, QString *error)
{
    const auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (element.tagName() != elementName())
        return fail(QStringLiteral("Not a bookmark outline: <%1>").arg(element.tagName()));
    // Level by level with a stack of the elements still to read: the depth of the
    // outline never reaches the program's own stack.
    struct Pending
    {
        QDomElement element;
        FlashOutlineItemPtr parent; // null at the top
        int level;
    };
    QList<FlashOutlineItemPtr> items;
    QList<Pending> pending;
    for (QDomElement c = element.lastChildElement(kItem); !c.isNull(); c = c.previousSiblingElement(kItem))
        pending.append({c, nullptr, 1});
    int count = 0;
    while (!pending.isEmpty()) {
        const Pending next = pending.takeLast();
        if (next.level > InputLimits::kMaxNesting)
            return fail(QStringLiteral("The bookmarks are %1.").arg(InputLimits::nestedTooDeep()));
        if (++count > InputLimits::kMaxOutlineItems)
            return fail(QStringLiteral("There are more than %1 bookmarks.").arg(InputLimits::kMaxOutlineItems));
        const FlashOutlineItemPtr item = readItem(next.element, next.level, next.parent);
        (next.parent ? next.parent->childItems() : items).append(item);
        for (QDomElement c = next.element.lastChildElement(kItem); !c.isNull(); c = c.previousSiblingElement(kItem))
            pending.append({c, item, next.level + 1});
    }
    m_items = items;
    return true;
}

QString FlashOutline::toXmlString() const
{
    QString xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writeXml(writer);
    return xml;
}

bool FlashOutline::fromXmlString(const QString &xml, QString *error)
{
    QDomDocument doc;
    XmlParseError parseError;
    if (!parseXmlDocument(doc, xml, &parseError)) {
        if (error)
            *error = QStringLiteral("The bookmark outline cannot be read: %1").arg(parseError.text());
        return false;
    }
    return readXml(doc.documentElement(), error);
}

std::shared_ptr<FlashOutline> FlashOutline::deepCopy() const
{
    auto copy = std::make_shared<FlashOutline>();
    for (const FlashOutlineItemPtr &item : m_items) {
        auto top = FlashOutlineItem::create();
        FlashOutlineItem::copyItem(*item, top, 1);
        copy->appendItem(top);
    }
    return copy;
}

bool FlashOutline::contains(const FlashOutlineItem *item) const
{
    return indexOf(item) >= 0;
}

QList<FlashOutlineItemPtr> &FlashOutline::siblingsOf(const FlashOutlineItem &item)
{
    const FlashOutlineItemPtr parent = item.parent();
    return parent ? parent->childItems() : m_items;
}

int FlashOutline::indexOf(const FlashOutlineItem *item) const
{
    if (!item)
        return -1;
    // Up to the top: every step must be a child of the next, and the top one of ours.
    int index = -1;
    const FlashOutlineItem *step = item;
    for (FlashOutlineItemPtr parent = item->parent(); parent; parent = parent->parent()) {
        const auto &list = parent->childItems();
        const auto at = std::find_if(list.cbegin(), list.cend(), [step](const FlashOutlineItemPtr &c) { return c.get() == step; });
        if (at == list.cend())
            return -1;
        if (step == item)
            index = int(at - list.cbegin());
        step = parent.get();
    }
    const auto top = std::find_if(m_items.cbegin(), m_items.cend(), [step](const FlashOutlineItemPtr &c) { return c.get() == step; });
    if (top == m_items.cend())
        return -1;
    return step == item ? int(top - m_items.cbegin()) : index;
}

bool FlashOutline::moveItem(const FlashOutlineItemPtr &item, const FlashOutlineItemPtr &newParent, int index)
{
    const int from = indexOf(item.get());
    if (from < 0 || (newParent && !contains(newParent.get())))
        return false;
    if (newParent && (newParent == item || FlashOutlineItem::checkIsParentOf(item.get(), newParent.get())))
        return false;
    QList<FlashOutlineItemPtr> &source = siblingsOf(*item);
    QList<FlashOutlineItemPtr> &target = newParent ? newParent->childItems() : m_items;
    if (index < 0 || index > target.size())
        index = int(target.size());
    if (&source == &target && index > from)
        --index; // counted while the item still stood before it
    source.removeAt(from);
    target.insert(index, item);
    item->setParent(newParent);
    relevel(*item, newParent ? newParent->level() + 1 : 1);
    return true;
}

bool FlashOutline::removeItem(const FlashOutlineItem *item)
{
    const int at = indexOf(item);
    if (at < 0)
        return false;
    siblingsOf(*item).removeAt(at);
    return true;
}
