#pragma once
// The deleting of one list's rows by dragging them out of its window, for the list's
// data source. At every drag start (dragStarted(), from the source's mimeData()) the
// window's DragDeleteDetectView learns the list's place and a new delete window
// (DragDeleteDelegate) is made for the drag's MIME type. When that window reports a
// drop, dropped is called with the drag's data; then the window is dismissed and the
// vanishing animation shown where the rows were dropped.

#include "platform/NotificationCenter.h"
#include "platform/ui/DragDeleteDetectView.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class DragDeleteDelegate;
class QWidget;

class DragOutToDelete : public QObject
{
    Q_OBJECT
public:
    using Dropped = std::function<void(const QByteArray &data)>;

    DragOutToDelete(const QString &dataType, Dropped dropped, QObject *parent = nullptr);
    ~DragOutToDelete() override;

    QString dataType() const { return m_type; }
    void setList(QWidget *list) { m_list = list; }
    // Watches the drags of the list in the window it stands in now.
    void attachToWindow();
    DragDeleteDetectView *dragDeleteView() const { return m_detectView; }

    void dragStarted();
    // The delete window of the drag in progress (null before the first drag).
    DragDeleteDelegate *dragDeleteCtrl() const { return m_ctrl.get(); }
    // The drag ended inside the list: its delete window takes no drop.
    void onDeleteWindowDismiss();

private:
    void DeleteWindowDragEnd(const Notification &notification);

    QString m_type;
    Dropped m_dropped;
    QPointer<QWidget> m_list;
    QPointer<DragDeleteDetectView> m_detectView;
    std::unique_ptr<DragDeleteDelegate> m_ctrl;
};
