#include "platform/ui/ColorPanel.h"

#include "platform/NotificationCenter.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QVBoxLayout>

ColorPanel::ColorPanel(QWidget *parent) : QvWindow(parent)
{
    m_layout = new QVBoxLayout(this);
    m_chooser = new QColorDialog(this);
    m_chooser->setWindowFlags(Qt::Widget);
    m_chooser->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    // The embedded chooser would hide itself on Escape; the panel decides instead.
    m_chooser->installEventFilter(this);
    m_layout->addWidget(m_chooser);
    connect(m_chooser, &QColorDialog::currentColorChanged, this, [this](const QColor &color) {
        emit colorChanged(color);
        NotificationCenter::defaultCenter()->postNotification(ColorPanelColorDidChangeNotification, this);
    });
}

QColor ColorPanel::color() const
{
    return m_chooser->currentColor();
}

void ColorPanel::setColor(const QColor &color)
{
    // The chooser takes the keyboard when the colour is one of its swatches; a control
    // outside it that had the keyboard (a value field being typed into) keeps it.
    QWidget *focus = focusWidget();
    m_chooser->setCurrentColor(color);
    if (focus && focus != focusWidget() && !m_chooser->isAncestorOf(focus))
        focus->setFocus(Qt::OtherFocusReason);
}

bool ColorPanel::showsAlpha() const
{
    return m_chooser->testOption(QColorDialog::ShowAlphaChannel);
}

void ColorPanel::setShowsAlpha(bool shows)
{
    m_chooser->setOption(QColorDialog::ShowAlphaChannel, shows);
}

bool ColorPanel::isFloatingPanel() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void ColorPanel::setFloatingPanel(bool floating)
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, floating);
    if (visible)
        show();
}

void ColorPanel::setAccessoryView(QWidget *view)
{
    if (m_accessory == view)
        return;
    delete m_accessory.data();
    m_accessory = view;
    if (view)
        m_layout->addWidget(view);
}

bool ColorPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_chooser && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QvWindow::eventFilter(watched, event);
}
