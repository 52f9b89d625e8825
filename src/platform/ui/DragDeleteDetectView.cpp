#include "platform/ui/DragDeleteDetectView.h"

#include "platform/ui/DragDeleteDelegate.h"

#include <QApplication>
#include <QChildEvent>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QWidget>

DragDeleteDetectView::DragDeleteDetectView(QWidget *window) : QObject(window)
{
    setObjectName(QStringLiteral("qv_dragDeleteDetectView"));
}

DragDeleteDetectView *DragDeleteDetectView::detectViewOfWindow(const QWidget *window)
{
    if (!window)
        return nullptr;
    return window->findChild<DragDeleteDetectView *>(QStringLiteral("qv_dragDeleteDetectView"),
                                                    Qt::FindDirectChildrenOnly);
}

DragDeleteDetectView *DragDeleteDetectView::addDragDetectViewtoWindow(QWidget *window, const QStringList &dataTypes,
                                                                      QWidget *sender)
{
    if (!window)
        return nullptr;
    window = window->window();
    DragDeleteDetectView *view = detectViewOfWindow(window);
    if (!view)
        view = new DragDeleteDetectView(window);
    view->addDataTypes(dataTypes);
    if (sender)
        view->setLayoutSender(sender);
    return view;
}

void DragDeleteDetectView::addDataTypes(const QStringList &dataTypes)
{
    for (const QString &type : dataTypes) {
        if (!type.isEmpty() && !m_dataTypes.contains(type))
            m_dataTypes << type;
    }
}

void DragDeleteDetectView::setLayoutSender(QWidget *sender)
{
    m_sender = sender;
    watch(sender);
    refresh();
}

void DragDeleteDetectView::refresh()
{
    if (m_sender && m_sender->isVisible())
        m_senderRect = QRect(m_sender->mapToGlobal(QPoint(0, 0)), m_sender->size());
    else
        m_senderRect = QRect();
}

void DragDeleteDetectView::watch(QWidget *list)
{
    if (!list)
        return;
    m_watched.removeAll(nullptr);
    for (const auto &w : std::as_const(m_watched)) {
        if (w == list)
            return;
    }
    m_watched << list;
    list->installEventFilter(this);
}

bool DragDeleteDetectView::carriesOurType(const QMimeData *data) const
{
    if (!data)
        return false;
    for (const QString &type : m_dataTypes) {
        if (data->hasFormat(type))
            return true;
    }
    return false;
}

bool DragDeleteDetectView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ChildAdded) {
        // Item views make their QDrag as a child right before running it. The child is
        // not a QDrag yet while it is being constructed: look again once it is made
        // (that happens inside the drag's own event loop). Only the watched lists count:
        // while a drag runs, every object's events pass here.
        QPointer<QObject> child = static_cast<QChildEvent *>(event)->child();
        QPointer<QWidget> list = qobject_cast<QWidget *>(watched);
        if (child && list && m_watched.contains(list)) {
            QMetaObject::invokeMethod(
                this,
                [this, child, list] {
                    if (auto *drag = qobject_cast<QDrag *>(child.data()); drag && list && drag != m_drag)
                        dragStarted(list, drag);
                },
                Qt::QueuedConnection);
        }
    } else if (event->type() == QEvent::Drop && m_dragActive) {
        // Some widget of the program takes the drop: it has a target.
        if (carriesOurType(static_cast<QDropEvent *>(event)->mimeData()))
            m_droppedInside = true;
    } else if (event->type() == QEvent::MouseButtonRelease && m_dragActive) {
        // The button let go ends the drag. The drop it makes inside the program is
        // delivered while this release is handled, so the end is looked at after it.
        // (The drag object itself may outlive the drag: some platforms keep it until
        // the drop's target confirms it.)
        QMetaObject::invokeMethod(this, [this, drag = m_drag] {
            if (drag == m_drag)
                dragEnded();
        }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void DragDeleteDetectView::dragStarted(QWidget *list, QDrag *drag)
{
    // Only one drag runs at a time: a drag of the list that starts ends any drag before
    // it whose end went unseen, without reporting that one.
    if (m_dragActive)
        qApp->removeEventFilter(this);
    m_drag = drag;
    m_dragList = list;
    m_dragActive = true;
    m_droppedInside = false;
    m_dragData.clear();
    qApp->installEventFilter(this);
    captureData(drag);
    connect(drag, &QDrag::targetChanged, this, [this, drag] {
        if (drag == m_drag)
            captureData(drag);
    });
    connect(drag, &QObject::destroyed, this, [this, drag] {
        if (drag != m_drag)
            return;
        dragEnded();
        m_drag = nullptr; // a later drag may be made at the same address
    });
}

void DragDeleteDetectView::captureData(QDrag *drag)
{
    const QMimeData *data = drag->mimeData();
    if (!data)
        return;
    for (const QString &type : std::as_const(m_dataTypes)) {
        if (data->hasFormat(type))
            m_dragData.setData(type, data->data(type));
    }
}

void DragDeleteDetectView::dragEnded()
{
    if (!m_dragActive)
        return;
    m_dragActive = false;
    qApp->removeEventFilter(this);
    QWidget *list = m_dragList;
    m_dragList = nullptr;
    if (list && !m_dragData.formats().isEmpty())
        dragFinished(list, m_dragData, QCursor::pos(), m_droppedInside);
    m_dragData.clear();
}

bool DragDeleteDetectView::dragFinished(QWidget *list, const QMimeData &data, const QPoint &screenPoint,
                                        bool hadTarget)
{
    if (hadTarget || !list || !carriesOurType(&data))
        return false;
    const QRect area(list->mapToGlobal(QPoint(0, 0)), list->size());
    if (area.contains(screenPoint))
        return false;
    DragDeleteDelegate *delegate = DragDeleteDelegate::delegateFor(list, data);
    return delegate && delegate->takeDrop(data, screenPoint);
}
