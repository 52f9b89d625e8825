#pragma once
// Watches the lists of a window for row drags of the registered MIME types. When
// such a drag ends with no widget of the program taking the drop and with the drop
// point outside the list the drag came from, the drop goes to the list's
// DragDeleteDelegate (which reports it).

#include <QHash>
#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>

class QDrag;
class QWidget;

class DragDeleteDetectView : public QObject
{
    Q_OBJECT
public:
    // The window's detect view (made once per window), with the types added and the
    // list watched.
    static DragDeleteDetectView *addDragDetectViewtoWindow(QWidget *window, const QStringList &dataTypes,
                                                           QWidget *sender);
    static DragDeleteDetectView *detectViewOfWindow(const QWidget *window);

    void addDataTypes(const QStringList &dataTypes);
    QStringList dataTypes() const { return m_dataTypes; }
    // The list whose area counts as inside; it is watched from now on as well.
    void setLayoutSender(QWidget *sender);
    QWidget *layoutSender() const { return m_sender; }
    // Re-reads the list's screen area.
    void refresh();
    QRect senderScreenRect() const { return m_senderRect; }

    // The end of a drag from list: hands the drop to the list's delegate when no target
    // took it and screenPoint lies outside list. True when a delegate took it.
    bool dragFinished(QWidget *list, const QMimeData &data, const QPoint &screenPoint, bool hadTarget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit DragDeleteDetectView(QWidget *window);
    void watch(QWidget *list);
    void dragStarted(QWidget *list, QDrag *drag);
    void captureData(QDrag *drag);
    void dragEnded();
    bool carriesOurType(const QMimeData *data) const;

    QStringList m_dataTypes;
    QPointer<QWidget> m_sender;
    QRect m_senderRect;
    QList<QPointer<QWidget>> m_watched;

    // The drag in flight (compared by address only: it may be gone).
    QDrag *m_drag = nullptr;
    QPointer<QWidget> m_dragList;
    QMimeData m_dragData;
    bool m_dragActive = false;
    bool m_droppedInside = false;
};
