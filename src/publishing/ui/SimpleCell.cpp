#include "publishing/ui/SimpleCell.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

SimpleCell::SimpleCell(QWidget *parent) : QPushButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setFlat(true);
}

void SimpleCell::enterEvent(QEnterEvent *event)
{
    m_isMouseInsize = true;
    update();
    QPushButton::enterEvent(event);
}

void SimpleCell::leaveEvent(QEvent *event)
{
    m_isMouseInsize = false;
    update();
    QPushButton::leaveEvent(event);
}

void SimpleCell::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath rounded;
    rounded.addRoundedRect(frame, 4, 4);
    if (isDown()) {
        QLinearGradient gradient(frame.topLeft(), frame.bottomLeft());
        gradient.setColorAt(0, QColor::fromRgbF(0.9, 0.9, 0.9, 0.5));
        gradient.setColorAt(1, QColor::fromRgbF(0.6, 0.6, 0.6, 0.5));
        p.fillPath(rounded, gradient);
    } else if (m_isMouseInsize && isEnabled()) {
        p.setPen(QPen(QColor::fromRgbF(0.6, 0.8, 1.0, 1.0), 4));
        p.drawPath(rounded);
    }
    p.setPen(QPen(Qt::gray, 1));
    p.drawPath(rounded);

    const QRect inner = rect().adjusted(2, 2, -2, -2);
    QRect imageRect;
    if (!icon().isNull()) {
        const int side = std::min(inner.width(), inner.height());
        imageRect = text().isEmpty() ? inner : QRect(inner.topLeft(), QSize(side, side));
        icon().paint(&p, imageRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    if (!text().isEmpty()) {
        const QRect titleRect(imageRect.isNull() ? inner.left() : imageRect.right() + 2, inner.top(),
                              inner.width() - imageRect.width() - 2, inner.height());
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.drawText(titleRect, Qt::AlignCenter, text());
    }
}
