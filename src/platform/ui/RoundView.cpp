#include "platform/ui/RoundView.h"

#include <QPainter>
#include <QPainterPath>

RoundView::RoundView(QWidget *parent) : QWidget(parent) {}

void RoundView::setCornerRadius(qreal radius)
{
    m_radius = std::max<qreal>(0, radius);
    update();
}

void RoundView::setBackgroundColor(const QColor &color)
{
    m_color = color;
    update();
}

void RoundView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_color.isValid() ? m_color : palette().color(QPalette::AlternateBase));
    const qreal r = std::min({m_radius, width() / 2.0, height() / 2.0});
    p.drawRoundedRect(QRectF(rect()), r, r);
}
