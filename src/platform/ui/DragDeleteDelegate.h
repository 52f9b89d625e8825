#pragma once
// Dragging rows out of a list to delete them.
//
// A list puts the dragged row numbers on the drag under a private MIME type
// (RowDragMime). When the drag starts, the list's owner makes a DragDeleteDelegate for
// that type and the list. When the drag then ends outside the list without any target
// (DragDeleteDetectView watches for that), the delegate keeps the drag's data in
// dragResult() and the screen point of the drop in dropPoint(), and posts
// DragDeleteWindowNotification with itself as object. The delegate also hands that
// notification to DeleteWindowDragEnd() of the list window's controller when the
// controller is a DragDeleteReceiver. Owners then remove the rows and may show
// showDisappearingItemAnimation() at the drop point.

#include "platform/NotificationCenter.h"
#include "platform/RowDragMime.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

inline const QString DragDeleteWindowNotification = QStringLiteral("DragDeleteWindowNotification");

// Implemented by window controllers whose lists delete rows dragged out of them.
class DragDeleteReceiver
{
public:
    virtual ~DragDeleteReceiver() = default;
    virtual void DeleteWindowDragEnd(const Notification &notification) = 0;
};

class DragDeleteDelegate : public QObject
{
    Q_OBJECT
public:
    DragDeleteDelegate(const QStringList &dataTypes, QWidget *sender, QObject *parent = nullptr);
    ~DragDeleteDelegate() override;

    QStringList dataTypes() const { return m_dataTypes; }
    QWidget *sender() const { return m_sender; }

    // Type -> data of the last drop outside the list (only the registered types).
    QMap<QString, QByteArray> dragResult() const { return m_dragResult; }
    // Screen point of that drop.
    QPoint dropPoint() const { return m_dropPoint; }

    // A delegate takes drops while it is shown (from creation until dismissed).
    bool isVisible() const { return m_visible; }
    void show() { m_visible = true; }
    void dismiss() { m_visible = false; }

    // The delegate shown for sender that takes one of the types of data, or null.
    static DragDeleteDelegate *delegateFor(const QWidget *sender, const QMimeData &data);
    // Records the drop and reports it; true when the data held a registered type.
    bool takeDrop(const QMimeData &data, const QPoint &screenPoint);

    // A short fade of a 48 x 48 puff at a screen point; finished runs when it is gone.
    static void showDisappearingItemAnimation(const QPoint &screenPoint, std::function<void()> finished = {});

private:
    QStringList m_dataTypes;
    QPointer<QWidget> m_sender;
    QMap<QString, QByteArray> m_dragResult;
    QPoint m_dropPoint;
    bool m_visible = true;
};
