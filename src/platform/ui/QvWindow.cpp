#include "platform/ui/QvWindow.h"

#include "platform/ui/WindowController.h"

#include <QCloseEvent>

QvWindow::QvWindow(QWidget *parent) : QDialog(parent) {}

WindowController *QvWindow::windowController() const
{
    return m_controller;
}

void QvWindow::accept()
{
    if (m_controller)
        m_controller->closeWindowWithCode(QDialog::Accepted);
    else
        QDialog::accept();
}

void QvWindow::reject()
{
    if (m_controller)
        m_controller->performClose();
    else
        QDialog::reject();
}

void QvWindow::closeEvent(QCloseEvent *event)
{
    if (!m_controller) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    QPointer<QvWindow> guard(this);
    m_controller->performClose();
    if (guard && !isVisible())
        event->accept();
}
