#pragma once
// The top-level window of every window controller. It routes the close box, Escape
// and the dialog's accept/reject slots to its controller, so a window always ends
// with its controller's close code and a controller can refuse to close (for
// example while its worker runs). Without a controller it behaves as a QDialog.

#include <QDialog>
#include <QPointer>

class WindowController;

class QvWindow : public QDialog
{
    Q_OBJECT
public:
    explicit QvWindow(QWidget *parent = nullptr);

    WindowController *windowController() const;

    // accept() (a dialog button box's OK) closes with code 1; reject() (Escape) asks the
    // controller as the close box does.
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class WindowController;
    QPointer<WindowController> m_controller;
};
