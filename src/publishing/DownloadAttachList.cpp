#include "publishing/DownloadAttachList.h"

#include "foundation/AppStrings.h"
#include "foundation/ListRows.h"
#include "furnishings/DownloadCfgItem.h"

#include <QFileInfo>

DownloadAttachList::DownloadAttachList(QObject *parent) : RowListModel(DownloadAttachDataType, parent) {}

void DownloadAttachList::setAttachments(const QStringList &paths)
{
    beginResetModel();
    m_list.clear();
    endResetModel();
    add(paths);
}

QStringList DownloadAttachList::add(const QStringList &paths)
{
    QStringList refused;
    QStringList added;
    for (const QString &path : paths) {
        if (path.isEmpty() || m_list.contains(path) || added.contains(path))
            continue;
        const QString name = QFileInfo(path).fileName();
        const auto sameName = [&](const QString &other) { return QFileInfo(other).fileName() == name; };
        if (std::any_of(m_list.cbegin(), m_list.cend(), sameName) || std::any_of(added.cbegin(), added.cend(), sameName)) {
            refused << path;
            continue;
        }
        added << path;
    }
    if (!added.isEmpty()) {
        beginInsertRows({}, int(m_list.size()), int(m_list.size() + added.size()) - 1);
        m_list << added;
        endInsertRows();
    }
    return refused;
}

void DownloadAttachList::removeRows(const QList<int> &rows)
{
    beginResetModel();
    ListRows::remove(m_list, rows);
    endResetModel();
}

QList<int> DownloadAttachList::moveUp(const QList<int> &rows)
{
    return moveInList(m_list, [&](QStringList &list) { return ListRows::moveUp(list, rows); });
}

QList<int> DownloadAttachList::moveDown(const QList<int> &rows)
{
    return moveInList(m_list, [&](QStringList &list) { return ListRows::moveDown(list, rows); });
}

QList<int> DownloadAttachList::moveRowsTo(const QList<int> &rows, int row)
{
    return moveInList(m_list, [&](QStringList &list) { return ListRows::moveTo(list, rows, row); });
}

int DownloadAttachList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_list.size());
}

int DownloadAttachList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DownloadAttachList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.size() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const QString &path = m_list.at(index.row());
    if (index.column() == FileColumn)
        return path;
    const QFileInfo file(DownloadCfgItem::existingFile(path, m_workspace, QStringLiteral("attachments")));
    return QString::number(file.isFile() ? double(file.size()) / 1024.0 : 0.0, 'f', 1);
}

QVariant DownloadAttachList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == FileColumn ? loadAppString(QStringLiteral("DownloadConfigD-File"), QStringLiteral("File"))
                                 : loadAppString(QStringLiteral("DownloadConfigD-Size (KB)"), QStringLiteral("Size (KB)"));
}

Qt::ItemFlags DownloadAttachList::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = dragFlags(index);
    if (index.isValid())
        flags |= Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return flags;
}
