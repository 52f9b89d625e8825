#pragma once
// A button drawn as a colour swatch: its background colour in a rectangle with
// slightly rounded corners and a light gray rim; no title.

#include <QColor>
#include <QPushButton>

class RoundButtonCell : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
public:
    explicit RoundButtonCell(QWidget *parent = nullptr);

    QColor backgroundColor() const { return m_color; }
    void setBackgroundColor(const QColor &color);

    // Draws the swatch into frame.
    void drawWithFrame(QPainter &painter, const QRectF &frame) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color = Qt::white;
};
