#include "platform/ui/DragOutToDelete.h"

#include "platform/ui/DragDeleteDelegate.h"
#include "platform/ui/DragDeleteDetectView.h"

#include <QWidget>

DragOutToDelete::DragOutToDelete(const QString &dataType, Dropped dropped, QObject *parent)
    : QObject(parent), m_type(dataType), m_dropped(std::move(dropped))
{
}

DragOutToDelete::~DragOutToDelete()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void DragOutToDelete::attachToWindow()
{
    if (m_list)
        m_detectView = DragDeleteDetectView::addDragDetectViewtoWindow(m_list->window(), {m_type}, m_list);
}

void DragOutToDelete::dragStarted()
{
    if (m_detectView && m_list) {
        m_detectView->setLayoutSender(m_list);
        m_detectView->refresh();
    }
    if (!m_list)
        return;
    m_ctrl.reset(); // the delete window of the drag before goes first
    m_ctrl = std::make_unique<DragDeleteDelegate>(QStringList{m_type}, m_list.data());
    NotificationCenter::defaultCenter()->addObserver(this, DragDeleteWindowNotification, m_ctrl.get(),
                                                     [this](const Notification &note) { DeleteWindowDragEnd(note); });
}

void DragOutToDelete::DeleteWindowDragEnd(const Notification &notification)
{
    if (!m_ctrl || notification.object != m_ctrl.get())
        return;
    const QByteArray data = m_ctrl->dragResult().value(m_type);
    const bool dropped = !m_ctrl->dragResult().isEmpty();
    const QPoint point = m_ctrl->dropPoint();
    if (dropped && m_dropped)
        m_dropped(data);
    onDeleteWindowDismiss();
    if (dropped)
        DragDeleteDelegate::showDisappearingItemAnimation(point);
}

void DragOutToDelete::onDeleteWindowDismiss()
{
    if (m_ctrl && m_ctrl->isVisible())
        m_ctrl->dismiss();
}
