#pragma once
// The queue of a batch window: one row per document, with the columns "Document" (its
// file name), "Output" (the book's name and folder) and "Status" (waiting, the percent
// done while it converts, done with the book, failed with the reason, cancelled).

#include "batch/BatchItem.h"
#include "platform/RowListModel.h"

class BatchList : public RowListOf<BatchItem>
{
    Q_OBJECT
public:
    enum Column { DocumentColumn, OutputColumn, StatusColumn, ColumnCount };

    explicit BatchList(QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The text of the status column for item.
    static QString statusText(const BatchItem &item);

    void setOutput(int row, const ConvertParament &parament);
    void setState(int row, BatchItem::State state, const QString &message = {});
    void setPercent(int row, int percent);

protected:
    QList<BatchItem> &rowItems() override { return m_items; }

private:
    QList<BatchItem> m_items;
};
