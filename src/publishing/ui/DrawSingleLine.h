#pragma once
// A one-line separator that fades out towards both ends: a horizontal line
// (position 0) or a vertical one (any other position), drawn as a gradient over the
// whole view.

#include <QColor>
#include <QGradientStops>
#include <QWidget>

class DrawSingleLine : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint64 position READ position WRITE setPosition)
    Q_PROPERTY(double percent READ percent WRITE setPercent)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
public:
    static constexpr double kMinimumPercent = 0.1;

    explicit DrawSingleLine(QWidget *parent = nullptr);
    DrawSingleLine(const QRect &frame, QWidget *parent);

    qint64 position() const { return m_position; }
    void setPosition(qint64 position);
    // Share of the length over which each end fades; raised to 0.1 when drawn.
    double percent() const { return m_percent; }
    void setPercent(double percent);
    // The line colour; gray when unset at drawing time.
    QColor backgroundColor() const { return m_color; }
    void setBackgroundColor(const QColor &color);

    // The gradient along the line: transparent, colour, colour, transparent at 0, p,
    // 1 - p, 1; or transparent, colour, transparent at 0, 0.5, 1 when no solid middle
    // is left. percent is taken as at least 0.1.
    static QGradientStops gradientStops(double percent, const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint64 m_position = 0;
    double m_percent = kMinimumPercent;
    QColor m_color;
};
