#pragma once
// A container with a rounded, filled background.

#include <QColor>
#include <QWidget>

class RoundView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
public:
    explicit RoundView(QWidget *parent = nullptr);

    qreal cornerRadius() const { return m_radius; }
    void setCornerRadius(qreal radius);
    // The fill; invalid (the default) uses the palette's alternate base colour.
    QColor backgroundColor() const { return m_color; }
    void setBackgroundColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_radius = 8;
    QColor m_color;
};
