#include "platform/DrawObject.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

qreal DrawObject::sweep(qreal startAngle, qreal endAngle)
{
    const qreal d = endAngle - startAngle;
    if (d >= 360.0)
        return 360.0;
    qreal s = std::fmod(d, 360.0);
    if (s < 0)
        s += 360.0;
    return s;
}

namespace {
QRectF circleRect(const QPointF &center, qreal radius)
{
    return QRectF(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
}

qreal signPenWidth(const QRectF &rect)
{
    return std::max<qreal>(1.0, std::min(rect.width(), rect.height()) / 8.0);
}
} // namespace

void DrawObject::strokeDrawCircle(QPainter &painter, const QPointF &center, qreal radius,
                                  qreal startAngle, qreal endAngle, qreal lineWidth,
                                  const QColor &strokeColor)
{
    const qreal span = sweep(startAngle, endAngle);
    if (span <= 0 || radius <= 0)
        return;
    QPainterPath path;
    path.arcMoveTo(circleRect(center, radius), startAngle);
    path.arcTo(circleRect(center, radius), startAngle, span);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(strokeColor, lineWidth));
    painter.drawPath(path);
    painter.restore();
}

void DrawObject::fillDrawCircle(QPainter &painter, const QPointF &center, qreal radius,
                                qreal startAngle, qreal endAngle, const QColor &fillColor)
{
    const qreal span = sweep(startAngle, endAngle);
    if (span <= 0 || radius <= 0)
        return;
    QPainterPath path;
    if (span >= 360.0) {
        path.addEllipse(circleRect(center, radius));
    } else {
        path.moveTo(center);
        path.arcTo(circleRect(center, radius), startAngle, span);
        path.closeSubpath();
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fillColor);
    painter.drawPath(path);
    painter.restore();
}

void DrawObject::drawErrorSign(QPainter &painter, const QRectF &rect, const QColor &color)
{
    const qreal w = signPenWidth(rect);
    const QRectF r = rect.adjusted(w / 2, w / 2, -w / 2, -w / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, w, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(r.topLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomLeft());
    painter.restore();
}

void DrawObject::drawConfirmSign(QPainter &painter, const QRectF &rect, const QColor &color)
{
    const qreal w = signPenWidth(rect);
    const QRectF r = rect.adjusted(w / 2, w / 2, -w / 2, -w / 2);
    QPainterPath tick;
    tick.moveTo(r.left(), r.top() + r.height() * 0.55);
    tick.lineTo(r.left() + r.width() * 0.38, r.bottom());
    tick.lineTo(r.right(), r.top());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    painter.restore();
}
