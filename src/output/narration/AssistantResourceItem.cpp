#include "output/narration/AssistantResourceItem.h"

bool AssistantResourceItem::isEmpty() const
{
    return m_lrcFile.isEmpty() && m_mp3File.isEmpty() && m_importmp3File.isEmpty();
}

std::pair<int, int> AssistantResourceItem::spreadPages(int index, int totalPage)
{
    if (index == 0)
        return {-1, 1};
    if (totalPage % 2 == 1 || totalPage / 2 > index)
        return {2 * index, 2 * index + 1};
    return {2 * index, -1};
}

QString AssistantResourceItem::resourceNameForPage(int index, int totalPage)
{
    const auto [left, right] = spreadPages(index, totalPage);
    return resourceNameWithLeftPage(left, right);
}

QString AssistantResourceItem::resourceNameWithLeftPage(int leftPage, int rightPage)
{
    if (leftPage == -1)
        return QString::number(rightPage);
    if (rightPage == -1)
        return QString::number(leftPage);
    return QString::number(leftPage) + QLatin1Char('_') + QString::number(rightPage);
}

QList<int> AssistantResourceItem::pagesOfSpread(int index, int totalPage)
{
    QList<int> pages;
    if (index < 0)
        return pages;
    const auto [left, right] = spreadPages(index, totalPage);
    for (int page : {left, right})
        if (page >= 1 && page <= totalPage)
            pages << page;
    return pages;
}

QVariantMap AssistantResourceItem::toDictionary() const
{
    return {{QStringLiteral("lrcFile"), m_lrcFile},
            {QStringLiteral("mp3File"), m_mp3File},
            {QStringLiteral("importmp3File"), m_importmp3File},
            {QStringLiteral("type"), m_type}};
}

AssistantResourceItem AssistantResourceItem::fromDictionary(const QVariantMap &d)
{
    AssistantResourceItem item;
    item.m_lrcFile = d.value(QStringLiteral("lrcFile")).toString();
    item.m_mp3File = d.value(QStringLiteral("mp3File")).toString();
    item.m_importmp3File = d.value(QStringLiteral("importmp3File")).toString();
    item.m_type = d.value(QStringLiteral("type")).toInt() == ImportedMp3 ? ImportedMp3 : TextToSpeech;
    return item;
}
