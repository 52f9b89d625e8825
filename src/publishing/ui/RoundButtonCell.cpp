#include "publishing/ui/RoundButtonCell.h"

#include <QPainter>
#include <QPainterPath>

RoundButtonCell::RoundButtonCell(QWidget *parent) : QPushButton(parent) {}

void RoundButtonCell::setBackgroundColor(const QColor &color)
{
    m_color = color;
    update();
}

void RoundButtonCell::drawWithFrame(QPainter &painter, const QRectF &frame) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    // Inset by half the rim so the 2-point rim lies wholly inside the frame.
    path.addRoundedRect(frame.adjusted(1, 1, -1, -1), 2, 2);
    painter.fillPath(path, m_color);
    QPen rim(Qt::lightGray);
    rim.setWidthF(2);
    painter.strokePath(path, rim);
    painter.restore();
}

void RoundButtonCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawWithFrame(painter, rect());
}
