#include "furnishings/BookmarkTabEditing.h"

#include "foundation/ColorText.h"
#include "foundation/NumberText.h"
#include "furnishings/BookMarkTabs.h"

#include <QRandomGenerator>
#include <algorithm>

BookmarkTabEditing::BookmarkTabEditing(BookMarkTabs &tabs, int type, int currentRow, qint64 totalPage)
    : m_tabs(tabs), m_type(type == ModifyTabs ? ModifyTabs : AddTabs), m_currentRow(std::max(0, currentRow)),
      m_totalPage(std::max<qint64>(1, totalPage))
{
    const int count = int(m_tabs.TabItems().size());
    if (m_type == ModifyTabs) {
        if (count == 0)
            m_type = AddTabs; // a tab typed into an empty list is added, not dropped
        else
            m_currentRow = std::min(m_currentRow, count - 1);
    } else {
        m_currentRow = std::min(m_currentRow, count);
    }
}

bool BookmarkTabEditing::isNewRow() const
{
    return m_currentRow >= m_tabs.TabItems().size();
}

qint64 BookmarkTabEditing::pageForNewTab() const
{
    const auto &items = m_tabs.TabItems();
    return items.isEmpty() ? 1 : items.last().pageIndex() + 2;
}

BookmarkTabEditing::Fields BookmarkTabEditing::loadCurrentItem() const
{
    if (isNewRow())
        return {};
    const BookMarkTabItem &item = m_tabs.TabItems().at(m_currentRow);
    return {item.caption(), QString::number(item.pageIndex()), HexToColor(item.color(), m_tabs.alpha())};
}

bool BookmarkTabEditing::modifyCurrentItem(const Fields &fields)
{
    if (isNewRow())
        return false;
    BookMarkTabItem &item = m_tabs.TabItems()[m_currentRow];
    const BookMarkTabItem before = item;
    item.setCaption(fields.caption);
    item.setPageIndex(pageNumber(fields.page));
    item.setColor(fields.color.isValid() ? colorToHexRGB(fields.color) : QStringLiteral("0x000000"));
    return !(item == before);
}

bool BookmarkTabEditing::saveCurrentItem(const Fields &fields)
{
    const int count = int(m_tabs.TabItems().size());
    if (m_type == ModifyTabs) {
        const bool changed = modifyCurrentItem(fields);
        if (m_currentRow < count - 1)
            ++m_currentRow;
        return changed;
    }
    if (isNewRow()) {
        m_currentRow = count;
        m_tabs.TabItems().append(BookMarkTabItem());
        modifyCurrentItem(fields);
        ++m_currentRow;
        return true;
    }
    const bool changed = modifyCurrentItem(fields);
    ++m_currentRow;
    return changed;
}

void BookmarkTabEditing::stepBack()
{
    m_currentRow = std::max(0, std::min(m_currentRow, int(m_tabs.TabItems().size())) - 1);
}

BookmarkTabEditing::Proposal BookmarkTabEditing::proposeNextPage(qint64 entered) const
{
    const qint64 page = entered + 2;
    if (page <= m_totalPage || m_pagesBeyondAccepted)
        return {page, false};
    if (page == m_totalPage + 1)
        return {m_totalPage, false};
    return {page, true};
}

QColor BookmarkTabEditing::generateColorByRand(double alpha)
{
    QRandomGenerator *random = QRandomGenerator::global();
    QColor color;
    color.setRgbF(float(random->bounded(100) + 155) / 255.0f, float(random->bounded(100) + 155) / 255.0f,
                  float(random->bounded(100) + 155) / 255.0f, float(std::clamp(alpha, 0.0, 1.0)));
    return color;
}

QColor BookmarkTabEditing::HexToColor(const QString &text, double alpha)
{
    QColor color = colorFromHexRGB(text);
    color.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return color;
}

qint64 BookmarkTabEditing::pageNumber(const QString &text)
{
    return NumberText::longLongValue(text);
}
