#include "project/RecentProjectItem.h"

#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace {

const QString kName = QStringLiteral("name");
const QString kPath = QStringLiteral("path");

QString cleanPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Every entry of the list file; a missing or damaged file is an empty list.
QList<RecentProjectItem> readList()
{
    QList<RecentProjectItem> items;
    const std::optional<QVariant> list = PropertyList::readFile(RecentProjectItem::listFilePath());
    if (!list)
        return items;
    for (const QVariant &entry : list->toList()) {
        const QVariantMap map = entry.toMap();
        const QString path = map.value(kPath).toString();
        if (!path.isEmpty())
            items << RecentProjectItem(map.value(kName).toString(), path);
    }
    return items;
}

} // namespace

QString RecentProjectItem::listFilePath()
{
    return QDir(AppUtility::userAppExtraDataPath()).filePath(QStringLiteral("RecentProjects.plist"));
}

bool RecentProjectItem::saveToFile() const
{
    if (m_path.isEmpty())
        return false;
    QLockFile lock(listFilePath() + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        return false;

    const QString path = cleanPath(m_path);
    RecentProjectItem first(m_name, path);
    QList<RecentProjectItem> items = readList();
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        if (cleanPath(items.at(i).path()) != path)
            continue;
        if (first.m_name.isEmpty())
            first.m_name = items.at(i).name();
        items.removeAt(i);
    }
    items.prepend(first);
    if (items.size() > kMaxItems)
        items.resize(kMaxItems);

    QVariantList list;
    for (const RecentProjectItem &item : std::as_const(items))
        list << QVariantMap{{kName, item.name()}, {kPath, item.path()}};
    return PropertyList::writeFile(listFilePath(), list);
}

QList<RecentProjectItem> RecentProjectItem::recentProjects()
{
    QList<RecentProjectItem> items = readList();
    items.removeIf([](const RecentProjectItem &item) { return !QFileInfo::exists(item.path()); });
    return items;
}
