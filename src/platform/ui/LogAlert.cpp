#include "platform/ui/LogAlert.h"

#include "platform/NotificationCenter.h"
#include "foundation/AppStrings.h"
#include "platform/ui/UiTestDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>

namespace {
const char *const IndexProperty = "qvAlertButtonIndex";

QString okText() { return loadAppString(QStringLiteral("OK"), QStringLiteral("OK")); }
QString cancelText() { return loadAppString(QStringLiteral("Cancel"), QStringLiteral("Cancel")); }

bool onMainThread()
{
    return !QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread();
}
} // namespace

AlertRequest LogAlert::normalized(const AlertRequest &request)
{
    AlertRequest s = request;
    if (s.buttons.isEmpty())
        s.buttons << okText();
    const int count = int(s.buttons.size());
    if (s.defaultButton >= count || s.defaultButton < AlertRequest::NoButton)
        s.defaultButton = 0;
    if (s.escapeButton == AlertRequest::AutomaticButton) {
        const int cancel = int(s.buttons.indexOf(cancelText()));
        s.escapeButton = cancel >= 0 ? cancel : (count == 1 ? 0 : AlertRequest::NoButton);
    } else if (s.escapeButton >= count || s.escapeButton < AlertRequest::NoButton) {
        s.escapeButton = AlertRequest::NoButton;
    }
    return s;
}

QMessageBox *LogAlert::createMessageBox(const AlertRequest &input, QWidget *parent)
{
    const AlertRequest request = normalized(input);
    auto *box = new QMessageBox(parent);
    box->setWindowTitle(request.windowTitle.isEmpty() ? QApplication::applicationDisplayName() : request.windowTitle);
    box->setTextFormat(Qt::PlainText);
    box->setText(request.messageText);
    box->setInformativeText(request.informativeText);
    box->setDetailedText(request.detailedText);
    switch (request.style) {
    case AlertStyle::Informational: box->setIcon(QMessageBox::Information); break;
    case AlertStyle::Warning: box->setIcon(QMessageBox::Warning); break;
    case AlertStyle::Critical: box->setIcon(QMessageBox::Critical); break;
    }
    for (int i = 0; i < request.buttons.size(); ++i) {
        // Action roles keep the buttons in the given order on every platform style.
        QPushButton *button = box->addButton(request.buttons[i], QMessageBox::ActionRole);
        button->setProperty(IndexProperty, i);
        if (i == request.defaultButton)
            box->setDefaultButton(button);
        if (i == request.escapeButton)
            box->setEscapeButton(button);
    }
    return box;
}

int LogAlert::pressedButton(const QMessageBox &box, const AlertRequest &input)
{
    const AlertRequest request = normalized(input);
    if (QAbstractButton *clicked = box.clickedButton()) {
        bool ok = false;
        const int index = clicked->property(IndexProperty).toInt(&ok);
        if (ok)
            return index;
    }
    if (request.escapeButton >= 0)
        return request.escapeButton;
    return request.defaultButton >= 0 ? request.defaultButton : 0;
}

int LogAlert::runAlert(const AlertRequest &request, QWidget *parent)
{
    if (!onMainThread()) {
        int result = 0;
        performOnMainThreadAndWait([&] { result = runAlert(request, nullptr); });
        return result;
    }
    if (UiTestDriver *driver = UiTestDriver::current())
        return driver->alertRequested(request, false);
    // Over the active window rather than in the middle of the screen.
    QMessageBox *box = createMessageBox(request, parent ? parent->window() : QApplication::activeWindow());
    QPointer<QMessageBox> guard(box);
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    if (!guard)
        return normalized(request).escapeButton >= 0 ? normalized(request).escapeButton : 0;
    const int index = pressedButton(*box, request);
    delete box;
    return index;
}

void LogAlert::beginAlertSheet(const AlertRequest &request, QWidget *window, std::function<void(int)> didEnd)
{
    if (UiTestDriver *driver = UiTestDriver::current()) {
        const int index = driver->alertRequested(request, true);
        if (didEnd) {
            QObject *context = window ? static_cast<QObject *>(window) : QCoreApplication::instance();
            QMetaObject::invokeMethod(context, [didEnd, index] { didEnd(index); }, Qt::QueuedConnection);
        }
        return;
    }
    QWidget *host = window ? window->window() : nullptr;
    QMessageBox *box = createMessageBox(request, host);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(host ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QDialog::finished, box, [box, request, didEnd](int) {
        const int index = pressedButton(*box, request);
        if (didEnd)
            didEnd(index);
    });
    box->show();
}

void LogAlert::alertMessage(const QString &message, const QString &text, const QString &details)
{
    AlertRequest request;
    request.messageText = message;
    request.informativeText = text;
    request.detailedText = details;
    request.buttons = {okText()};
    runAlert(request);
}

bool LogAlert::askOKCancel(const QString &message, const QString &text)
{
    AlertRequest request;
    request.messageText = message;
    request.informativeText = text;
    request.buttons = {okText(), cancelText()};
    request.defaultButton = 0;
    request.escapeButton = 1;
    return runAlert(request) != 1;
}

bool LogAlert::askYesNo(const QString &message, const QString &text)
{
    AlertRequest request;
    request.messageText = message;
    request.informativeText = text;
    request.buttons = {loadAppString(QStringLiteral("YES"), QStringLiteral("YES")),
                    loadAppString(QStringLiteral("NO"), QStringLiteral("NO"))};
    request.defaultButton = 1; // Return presses "NO"
    request.escapeButton = 0;  // Escape presses "YES"
    return runAlert(request) != 1;
}
