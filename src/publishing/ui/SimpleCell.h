#pragma once
// The buttons of the assistant tab: an image left of the title, a thin grey frame, a
// wide light-blue frame while the mouse is over the enabled button, and a grey
// gradient while pressed.

#include <QPushButton>

class SimpleCell : public QPushButton
{
    Q_OBJECT
public:
    explicit SimpleCell(QWidget *parent = nullptr);

    bool isMouseInsize() const { return m_isMouseInsize; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_isMouseInsize = false;
};
