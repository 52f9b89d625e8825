#include "furnishings/ShareLinksModel.h"

#include "foundation/AppStrings.h"
#include "foundation/ListRows.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

constexpr int kLogoSide = 24;

} // namespace

ShareLinksModel::ShareLinksModel(QObject *parent) : RowListModel(ShareLinksDataType, parent) {}

QString ShareLinksModel::logoFileFor(const ShareLinksItem &item) const
{
    const QString own = m_resolver ? m_resolver(item.logo()) : item.logo();
    if (!own.isEmpty() && QFileInfo(own).isFile())
        return own;
    return ShareLinksItem::iconFileForURL(item.links());
}

QImage ShareLinksModel::logoImage(const QString &file) const
{
    if (file.isEmpty())
        return {};
    if (const auto it = m_logos.constFind(file); it != m_logos.cend())
        return *it;
    QImageReader reader(file);
    QImage image = reader.read();
    if (!image.isNull())
        image = image.scaled(kLogoSide, kLogoSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_logos.insert(file, image);
    return image;
}

void ShareLinksModel::setIconsList(const QList<ShareLinksItem> &items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

const ShareLinksItem *ShareLinksModel::itemAt(int row) const
{
    return row >= 0 && row < m_items.size() ? &m_items.at(row) : nullptr;
}

int ShareLinksModel::append(const ShareLinksItem &item)
{
    const int row = int(m_items.size());
    beginInsertRows({}, row, row);
    m_items << item;
    endInsertRows();
    return row;
}

void ShareLinksModel::rowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void ShareLinksModel::setTitle(int row, const QString &title)
{
    if (row < 0 || row >= m_items.size())
        return;
    m_items[row].setTitle(title);
    rowChanged(row);
}

void ShareLinksModel::setLinks(int row, const QString &links)
{
    if (row < 0 || row >= m_items.size())
        return;
    m_items[row].setLinks(links);
    rowChanged(row);
}

void ShareLinksModel::setLogo(int row, const QString &logo)
{
    if (row < 0 || row >= m_items.size())
        return;
    m_items[row].setLogo(logo);
    m_logos.clear(); // the file may have changed under the same name
    rowChanged(row);
}

void ShareLinksModel::removeRows(const QList<int> &rows)
{
    beginResetModel();
    ListRows::remove(m_items, rows);
    endResetModel();
}

int ShareLinksModel::moveUp(int row)
{
    const QList<int> placed = moveRowsTo({row}, row - 1);
    return placed.isEmpty() ? row : placed.first();
}

int ShareLinksModel::moveDown(int row)
{
    if (row < 0 || row >= m_items.size() - 1)
        return row;
    const QList<int> placed = moveRowsTo({row}, row + 2);
    return placed.isEmpty() ? row : placed.first();
}

QList<int> ShareLinksModel::moveRowsTo(const QList<int> &rows, int row)
{
    if (row < 0)
        return {};
    return moveInList(m_items, [&](QList<ShareLinksItem> &list) { return ListRows::moveTo(list, rows, row); });
}

int ShareLinksModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int ShareLinksModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ShareLinksModel::data(const QModelIndex &index, int role) const
{
    const ShareLinksItem *item = itemAt(index.row());
    if (!item || index.parent().isValid())
        return {};
    switch (index.column()) {
    case CaptionColumn:
        return role == Qt::DisplayRole || role == Qt::EditRole ? QVariant(item->title()) : QVariant();
    case UrlColumn:
        return role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole ? QVariant(item->links())
                                                                                         : QVariant();
    case LogoColumn:
        if (role == Qt::DecorationRole) {
            const QImage image = logoImage(logoFileFor(*item));
            return image.isNull() ? QVariant() : QVariant(image);
        }
        return role == Qt::ToolTipRole ? QVariant(logoFileFor(*item)) : QVariant();
    case StatusColumn:
        return role == Qt::CheckStateRole ? QVariant(item->isSelected() ? Qt::Checked : Qt::Unchecked) : QVariant();
    default:
        return {};
    }
}

bool ShareLinksModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const int row = index.row();
    if (!itemAt(row))
        return false;
    if (index.column() == StatusColumn && role == Qt::CheckStateRole) {
        m_items[row].setIsSelected(value.toInt() == Qt::Checked);
        rowChanged(row);
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    if (index.column() == CaptionColumn)
        setTitle(row, value.toString());
    else if (index.column() == UrlColumn)
        setLinks(row, value.toString());
    else
        return false;
    return true;
}

QVariant ShareLinksModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case CaptionColumn: return loadAppString(QStringLiteral("ShareLins-Caption"), QStringLiteral("Caption"));
    case UrlColumn: return loadAppString(QStringLiteral("ShareLins-Link"), QStringLiteral("Link"));
    case LogoColumn: return loadAppString(QStringLiteral("ShareLins-Logo"), QStringLiteral("Logo"));
    case StatusColumn: return loadAppString(QStringLiteral("ShareLins-Show"), QStringLiteral("Show"));
    default: return {};
    }
}

Qt::ItemFlags ShareLinksModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = dragFlags(index);
    if (!index.isValid())
        return flags;
    flags |= Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == CaptionColumn || index.column() == UrlColumn)
        flags |= Qt::ItemIsEditable;
    else if (index.column() == StatusColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}
