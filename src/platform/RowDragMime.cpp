#include "platform/RowDragMime.h"

#include <QByteArrayList>
#include <QMimeData>

QByteArray RowDragMime::encode(const QList<int> &rows)
{
    QByteArrayList parts;
    for (int row : rows)
        parts << QByteArray::number(row);
    return parts.join(',');
}

QList<int> RowDragMime::decode(const QByteArray &data)
{
    QList<int> rows;
    if (data.trimmed().isEmpty())
        return rows;
    for (const QByteArray &part : data.split(',')) {
        bool ok = false;
        const int row = part.trimmed().toInt(&ok);
        if (!ok || row < 0)
            return {};
        rows << row;
    }
    return rows;
}

QMimeData *RowDragMime::mimeData(const QString &type, const QList<int> &rows)
{
    auto *data = new QMimeData;
    data->setData(type, encode(rows));
    return data;
}
