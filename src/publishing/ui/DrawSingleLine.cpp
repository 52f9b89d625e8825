#include "publishing/ui/DrawSingleLine.h"

#include <QLinearGradient>
#include <QPainter>

DrawSingleLine::DrawSingleLine(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

DrawSingleLine::DrawSingleLine(const QRect &frame, QWidget *parent) : DrawSingleLine(parent)
{
    setGeometry(frame);
}

void DrawSingleLine::setPosition(qint64 position)
{
    m_position = position;
    update();
}

void DrawSingleLine::setPercent(double percent)
{
    m_percent = percent;
    update();
}

void DrawSingleLine::setBackgroundColor(const QColor &color)
{
    m_color = color;
    update();
}

QGradientStops DrawSingleLine::gradientStops(double percent, const QColor &color)
{
    const double p = qMax(percent, kMinimumPercent);
    const double middle = 2 * p > 1 ? 0.0 : 1 - 2 * p;
    QColor clear = color;
    clear.setAlpha(0);
    if (middle < 0.000001)
        return {{0.0, clear}, {0.5, color}, {1.0, clear}};
    return {{0.0, clear}, {p, color}, {p + middle, color}, {1.0, clear}};
}

void DrawSingleLine::paintEvent(QPaintEvent *)
{
    if (!m_color.isValid())
        m_color = QColor(Qt::gray);
    if (m_percent < kMinimumPercent)
        m_percent = kMinimumPercent;
    const QRectF area = rect();
    QLinearGradient gradient = m_position == 0 ? QLinearGradient(area.topLeft(), area.topRight())
                                               : QLinearGradient(area.bottomLeft(), area.topLeft());
    gradient.setStops(gradientStops(m_percent, m_color));
    QPainter painter(this);
    painter.fillRect(area, gradient);
}
