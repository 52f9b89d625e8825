#pragma once
// Row numbers carried by a row drag between lists, or out of a list to delete them
// (DragDeleteDelegate): the numbers as decimal text joined by ",", under a private
// MIME type of the list.

#include <QByteArray>
#include <QList>
#include <QString>

class QMimeData;

class RowDragMime
{
public:
    static QByteArray encode(const QList<int> &rows);
    // The rows, or an empty list for data that is not a row list.
    static QList<int> decode(const QByteArray &data);
    static QMimeData *mimeData(const QString &type, const QList<int> &rows);
};
