#pragma once
// Row drags of a list editor's view as the platform runs them: the model gives the
// drag's data and the view makes a QDrag as its child. A drop inside the list reaches
// the list and the model moves the rows, the button let go ends the drag, and the drag
// object lives on afterwards (X11 keeps it until the drop's target confirms it). A
// drag out of the window ends with the button let go there, no widget taking it.

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <memory>

namespace RowDrags {

inline QDrag *startDrag(QAbstractItemView *list, const QList<int> &rows)
{
    QModelIndexList dragged;
    for (int row : rows)
        dragged << list->model()->index(row, 0);
    auto *drag = new QDrag(list);
    drag->setMimeData(list->model()->mimeData(dragged));
    QCoreApplication::processEvents(); // the drag is seen once it is made
    return drag;
}

inline void letGo(QWidget *over, const QPoint &screenPoint)
{
    QCursor::setPos(screenPoint);
    const QPointF local = over->mapFromGlobal(screenPoint);
    QMouseEvent release(QEvent::MouseButtonRelease, local, local, QPointF(screenPoint), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(over, &release);
    QCoreApplication::processEvents();
}

// Drags rows to stand before dropRow; answers the drag object, still alive.
inline std::unique_ptr<QDrag> dragWithin(QAbstractItemView *list, const QList<int> &rows, int dropRow)
{
    std::unique_ptr<QDrag> drag(startDrag(list, rows));
    const QRect target = list->visualRect(list->model()->index(qMin(dropRow, list->model()->rowCount() - 1), 0));
    QDropEvent drop(QPointF(target.center()), Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    list->model()->dropMimeData(drag->mimeData(), Qt::MoveAction, dropRow, 0, {});
    letGo(list->viewport(), list->viewport()->mapToGlobal(target.center()));
    return drag;
}

// Drags rows out of the list's window and lets go there.
inline void dragOut(QAbstractItemView *list, const QList<int> &rows)
{
    std::unique_ptr<QDrag> drag(startDrag(list, rows));
    QWidget *window = list->window();
    letGo(window, window->mapToGlobal(QPoint(window->width() + 120, window->height() + 120)));
}

} // namespace RowDrags
