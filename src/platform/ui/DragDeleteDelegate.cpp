#include "platform/ui/DragDeleteDelegate.h"

#include "platform/ui/WindowController.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPropertyAnimation>
#include <QRadialGradient>
#include <QWidget>

namespace {
QList<QPointer<DragDeleteDelegate>> &liveDelegates()
{
    static QList<QPointer<DragDeleteDelegate>> delegates;
    return delegates;
}

// The puff shown where deleted rows vanish.
class PuffWidget : public QWidget
{
public:
    PuffWidget()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput
                               | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_DeleteOnClose);
        setFixedSize(48, 48);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient g(rect().center(), 24);
        g.setColorAt(0.0, QColor(255, 255, 255, 230));
        g.setColorAt(0.6, QColor(200, 200, 200, 160));
        g.setColorAt(1.0, QColor(200, 200, 200, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(rect());
    }
};
} // namespace

DragDeleteDelegate::DragDeleteDelegate(const QStringList &dataTypes, QWidget *sender, QObject *parent)
    : QObject(parent), m_dataTypes(dataTypes), m_sender(sender)
{
    liveDelegates().removeAll(nullptr);
    liveDelegates().append(this);
    // Forward the report to the controller of the list's window.
    NotificationCenter::defaultCenter()->addObserver(
        this, DragDeleteWindowNotification, this, [this](const Notification &note) {
            if (auto *receiver = dynamic_cast<DragDeleteReceiver *>(WindowController::controllerForWidget(m_sender)))
                receiver->DeleteWindowDragEnd(note);
        });
}

DragDeleteDelegate::~DragDeleteDelegate()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    liveDelegates().removeAll(this);
}

DragDeleteDelegate *DragDeleteDelegate::delegateFor(const QWidget *sender, const QMimeData &data)
{
    // The newest delegate wins: owners replace theirs at every drag start.
    const auto &delegates = liveDelegates();
    for (auto it = delegates.crbegin(); it != delegates.crend(); ++it) {
        DragDeleteDelegate *d = it->data();
        if (!d || !d->m_visible || d->m_sender != sender)
            continue;
        for (const QString &type : std::as_const(d->m_dataTypes)) {
            if (data.hasFormat(type))
                return d;
        }
    }
    return nullptr;
}

bool DragDeleteDelegate::takeDrop(const QMimeData &data, const QPoint &screenPoint)
{
    QMap<QString, QByteArray> result;
    for (const QString &type : std::as_const(m_dataTypes)) {
        if (data.hasFormat(type))
            result.insert(type, data.data(type));
    }
    if (result.isEmpty())
        return false;
    m_dragResult = result;
    m_dropPoint = screenPoint;
    NotificationCenter::defaultCenter()->postNotification(DragDeleteWindowNotification, this);
    return true;
}

void DragDeleteDelegate::showDisappearingItemAnimation(const QPoint &screenPoint, std::function<void()> finished)
{
    auto *puff = new PuffWidget;
    puff->move(screenPoint - QPoint(24, 24));
    puff->show();
    auto *fade = new QPropertyAnimation(puff, "windowOpacity", puff);
    fade->setDuration(250);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    QObject::connect(fade, &QPropertyAnimation::finished, puff, [puff, finished] {
        puff->close();
        if (finished)
            finished();
    });
    fade->start();
}
