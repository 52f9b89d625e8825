#include "publishing/ui/FillBGView.h"

#include <QPainter>

FillBGView::FillBGView(QWidget *parent) : QWidget(parent) {}

void FillBGView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

void FillBGView::paintEvent(QPaintEvent *)
{
    if (!m_backgroundColor.isValid())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
}
