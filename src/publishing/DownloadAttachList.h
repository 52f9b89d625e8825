#pragma once
// The attachments of the download configuration as its table shows them: the stored
// path ("file") and the size in kilobytes ("size"). Every attachment is offered under
// its file name, so the list holds one file per name: the same path again is skipped,
// another file of a name already listed is refused.

#include "platform/RowListModel.h"

#include <QStringList>

inline const QString DownloadAttachDataType = QStringLiteral("downloadConfigTableViewDataType");

class DownloadAttachList : public RowListModel
{
    Q_OBJECT
public:
    enum Column { FileColumn = 0, SizeColumn = 1, ColumnCount = 2 };

    explicit DownloadAttachList(QObject *parent = nullptr);

    // The folder "./" paths lie in.
    void setWorkspace(const QString &workspace) { m_workspace = workspace; }
    QStringList attachments() const { return m_list; }
    // Replaces the list, skipping what add() would.
    void setAttachments(const QStringList &paths);
    // Appends the paths not listed yet; answers the paths refused because another
    // file of their name is listed.
    QStringList add(const QStringList &paths);
    void removeRows(const QList<int> &rows);
    QList<int> moveUp(const QList<int> &rows);
    QList<int> moveDown(const QList<int> &rows);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    QList<int> moveRowsTo(const QList<int> &rows, int row) override;

private:
    QString m_workspace;
    QStringList m_list;
};
