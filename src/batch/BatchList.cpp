#include "batch/BatchList.h"

#include "foundation/AppStrings.h"

#include <QDir>
#include <QFileInfo>

BatchList::BatchList(QObject *parent) : RowListOf<BatchItem>(QStringLiteral("application/x-quorvel-batch-rows"), parent)
{
}

int BatchList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString BatchList::statusText(const BatchItem &item)
{
    switch (item.state) {
    case BatchItem::State::Waiting:
        return loadAppString("BatchList-Waiting", "Waiting");
    case BatchItem::State::Converting:
        return loadAppString("BatchList-Converting %1%", "Converting %1%").arg(item.percent);
    case BatchItem::State::Done:
        return loadAppString("BatchList-Done", "Done");
    case BatchItem::State::Failed:
        return loadAppString("BatchList-Failed: %1", "Failed: %1").arg(item.message);
    case BatchItem::State::Cancelled:
        return loadAppString("BatchList-Cancelled", "Cancelled");
    }
    return {};
}

QVariant BatchList::data(const QModelIndex &index, int role) const
{
    const BatchItem *item = itemAt(index.row());
    if (!item || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    switch (index.column()) {
    case DocumentColumn:
        return role == Qt::ToolTipRole ? QDir::toNativeSeparators(item->path) : QFileInfo(item->path).fileName();
    case OutputColumn: {
        const ConvertParament &p = item->convertParament;
        return QStringLiteral("%1 (%2)").arg(p.strOutputName(), QDir::toNativeSeparators(p.strOutputFolder()));
    }
    case StatusColumn:
        return role == Qt::ToolTipRole && item->state == BatchItem::State::Done ? QDir::toNativeSeparators(item->message)
                                                                               : statusText(*item);
    }
    return {};
}

QVariant BatchList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DocumentColumn:
        return loadAppString("BatchList-Document", "Document");
    case OutputColumn:
        return loadAppString("BatchList-Output", "Output");
    case StatusColumn:
        return loadAppString("BatchList-Status", "Status");
    }
    return {};
}

Qt::ItemFlags BatchList::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void BatchList::setOutput(int row, const ConvertParament &parament)
{
    changeItem(row, [&](BatchItem &item) { item.convertParament = parament; });
}

void BatchList::setState(int row, BatchItem::State state, const QString &message)
{
    changeItem(row, [&](BatchItem &item) {
        item.state = state;
        item.message = message;
        if (state == BatchItem::State::Converting)
            item.percent = 0;
    });
}

void BatchList::setPercent(int row, int percent)
{
    changeItem(row, [&](BatchItem &item) { item.percent = qBound(0, percent, 100); });
}
