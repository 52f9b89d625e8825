#pragma once
// Small drawing helpers for drawn button images: arcs, sectors, an error cross and a
// confirmation tick. Angles are in degrees, counted counter-clockwise from the
// positive x axis as seen on screen; an arc runs counter-clockwise from its start
// angle to its end angle.

#include <QColor>
#include <QPointF>
#include <QRectF>

class QPainter;

class DrawObject
{
public:
    static void strokeDrawCircle(QPainter &painter, const QPointF &center, qreal radius,
                                 qreal startAngle, qreal endAngle, qreal lineWidth,
                                 const QColor &strokeColor);
    static void fillDrawCircle(QPainter &painter, const QPointF &center, qreal radius,
                               qreal startAngle, qreal endAngle, const QColor &fillColor);
    static void drawErrorSign(QPainter &painter, const QRectF &rect, const QColor &color);
    static void drawConfirmSign(QPainter &painter, const QRectF &rect, const QColor &color);

    // The counter-clockwise sweep from start to end, in (0, 360]; equal angles sweep nothing.
    static qreal sweep(qreal startAngle, qreal endAngle);
};
