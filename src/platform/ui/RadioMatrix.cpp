#include "platform/ui/RadioMatrix.h"

#include <QAbstractButton>
#include <QVariant>
#include <QWidget>

namespace RadioMatrix {

QList<QAbstractButton *> cells(const QWidget *matrix)
{
    QList<QAbstractButton *> found;
    if (!matrix)
        return found;
    for (QAbstractButton *button : matrix->findChildren<QAbstractButton *>()) {
        if (button->property("tag").isValid())
            found << button;
    }
    return found;
}

void selectCellWithTag(QWidget *matrix, int tag)
{
    for (QAbstractButton *cell : cells(matrix)) {
        if (cell->property("tag").toInt() == tag)
            cell->setChecked(true);
    }
}

int selectedTag(const QWidget *matrix, int fallback)
{
    for (QAbstractButton *cell : cells(matrix)) {
        if (cell->isChecked())
            return cell->property("tag").toInt();
    }
    return fallback;
}

} // namespace RadioMatrix
