#pragma once
// A plain view filled with one colour; without a colour it draws nothing.

#include <QColor>
#include <QWidget>

class FillBGView : public QWidget
{
    Q_OBJECT
public:
    explicit FillBGView(QWidget *parent = nullptr);

    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_backgroundColor;
};
