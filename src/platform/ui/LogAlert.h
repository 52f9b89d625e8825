#pragma once
// Alerts: a message, an informative text and buttons, shown application-modal (or as
// a sheet on a window). Every alert of the program goes through here, so a test
// driver (UiTestDriver) can answer them.

#include <QString>
#include <QStringList>
#include <functional>

class QMessageBox;
class QWidget;

enum class AlertStyle { Informational, Warning, Critical };

struct AlertRequest
{
    static constexpr int AutomaticButton = -2;
    static constexpr int NoButton = -1;

    QString messageText;
    QString informativeText;
    QStringList buttons;   // left to right in reading order; at least one ("OK" when empty)
    AlertStyle style = AlertStyle::Informational;
    int defaultButton = 0; // pressed by Return; NoButton for none
    // Pressed by Escape and the close box. Automatic: the button titled with the
    // localised "Cancel", else the only button; NoButton: Escape does nothing.
    int escapeButton = AutomaticButton;
    QString windowTitle;   // the application name when empty
    QString detailedText;  // shown on request below the texts (paths, the system's reason)
};

class LogAlert
{
public:
    // One "OK" button; returns when it is pressed.
    static void alertMessage(const QString &message, const QString &text, const QString &details = QString());
    // "OK" (Return) and "Cancel" (Escape); true unless "Cancel" was pressed.
    static bool askOKCancel(const QString &message, const QString &text);
    // "YES" and "NO": Escape presses "YES", Return presses "NO"; true unless "NO" was pressed.
    static bool askYesNo(const QString &message, const QString &text);

    // Application-modal; returns the index in request.buttons of the pressed button.
    // Safe to call from a worker thread (the alert runs on the main thread, which waits).
    static int runAlert(const AlertRequest &request, QWidget *parent = nullptr);
    // Window-modal on window's window; didEnd gets the pressed button's index.
    static void beginAlertSheet(const AlertRequest &request, QWidget *window, std::function<void(int)> didEnd);

    // The message box for request (buttons carry their index); used by runAlert and tests.
    static QMessageBox *createMessageBox(const AlertRequest &request, QWidget *parent);
    // The index of the button that ended box (the escape button when none was pressed).
    static int pressedButton(const QMessageBox &box, const AlertRequest &request);
    // The request with "OK" for an empty button list and its automatic escape button resolved.
    static AlertRequest normalized(const AlertRequest &request);
};
