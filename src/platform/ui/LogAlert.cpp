#include "platform/ui/LogAlert.h"

#include "platform/NotificationCenter.h"
#include "platform/UiText.h"
#include "platform/ui/UiTestDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>

namespace {
const char *const IndexProperty = "qvAlertButtonIndex";

QString okText() { return UiText::string(QStringLiteral("OK"), QStringLiteral("OK")); }
QString cancelText() { return UiText::string(QStringLiteral("Cancel"), QStringLiteral("Cancel")); }

bool onMainThread()
{
    return !QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread();
}
} // namespace

AlertSpec LogAlert::normalized(const AlertSpec &spec)
{
    AlertSpec s = spec;
    if (s.buttons.isEmpty())
        s.buttons << okText();
    const int count = int(s.buttons.size());
    if (s.defaultButton >= count || s.defaultButton < AlertSpec::NoButton)
        s.defaultButton = 0;
    if (s.escapeButton == AlertSpec::AutomaticButton) {
        const int cancel = int(s.buttons.indexOf(cancelText()));
        s.escapeButton = cancel >= 0 ? cancel : (count == 1 ? 0 : AlertSpec::NoButton);
    } else if (s.escapeButton >= count || s.escapeButton < AlertSpec::NoButton) {
        s.escapeButton = AlertSpec::NoButton;
    }
    return s;
}

QMessageBox *LogAlert::createMessageBox(const AlertSpec &input, QWidget *parent)
{
    const AlertSpec spec = normalized(input);
    auto *box = new QMessageBox(parent);
    box->setWindowTitle(spec.windowTitle.isEmpty() ? QApplication::applicationDisplayName() : spec.windowTitle);
    box->setTextFormat(Qt::PlainText);
    box->setText(spec.messageText);
    box->setInformativeText(spec.informativeText);
    switch (spec.style) {
    case AlertStyle::Informational: box->setIcon(QMessageBox::Information); break;
    case AlertStyle::Warning: box->setIcon(QMessageBox::Warning); break;
    case AlertStyle::Critical: box->setIcon(QMessageBox::Critical); break;
    }
    for (int i = 0; i < spec.buttons.size(); ++i) {
        // Action roles keep the buttons in the given order on every platform style.
        QPushButton *button = box->addButton(spec.buttons[i], QMessageBox::ActionRole);
        button->setProperty(IndexProperty, i);
        if (i == spec.defaultButton)
            box->setDefaultButton(button);
        if (i == spec.escapeButton)
            box->setEscapeButton(button);
    }
    return box;
}

int LogAlert::pressedButton(const QMessageBox &box, const AlertSpec &input)
{
    const AlertSpec spec = normalized(input);
    if (QAbstractButton *clicked = box.clickedButton()) {
        bool ok = false;
        const int index = clicked->property(IndexProperty).toInt(&ok);
        if (ok)
            return index;
    }
    if (spec.escapeButton >= 0)
        return spec.escapeButton;
    return spec.defaultButton >= 0 ? spec.defaultButton : 0;
}

int LogAlert::runAlert(const AlertSpec &spec, QWidget *parent)
{
    if (!onMainThread()) {
        int result = 0;
        performOnMainThreadAndWait([&] { result = runAlert(spec, nullptr); });
        return result;
    }
    if (UiTestDriver *driver = UiTestDriver::current())
        return driver->alertRequested(spec, false);
    QMessageBox *box = createMessageBox(spec, parent);
    QPointer<QMessageBox> guard(box);
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    if (!guard)
        return normalized(spec).escapeButton >= 0 ? normalized(spec).escapeButton : 0;
    const int index = pressedButton(*box, spec);
    delete box;
    return index;
}

void LogAlert::beginAlertSheet(const AlertSpec &spec, QWidget *window, std::function<void(int)> didEnd)
{
    if (UiTestDriver *driver = UiTestDriver::current()) {
        const int index = driver->alertRequested(spec, true);
        if (didEnd) {
            QObject *context = window ? static_cast<QObject *>(window) : QCoreApplication::instance();
            QMetaObject::invokeMethod(context, [didEnd, index] { didEnd(index); }, Qt::QueuedConnection);
        }
        return;
    }
    QWidget *host = window ? window->window() : nullptr;
    QMessageBox *box = createMessageBox(spec, host);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(host ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QDialog::finished, box, [box, spec, didEnd](int) {
        const int index = pressedButton(*box, spec);
        if (didEnd)
            didEnd(index);
    });
    box->show();
}

void LogAlert::alertMessage(const QString &message, const QString &text)
{
    AlertSpec spec;
    spec.messageText = message;
    spec.informativeText = text;
    spec.buttons = {okText()};
    runAlert(spec);
}

bool LogAlert::askOKCancel(const QString &message, const QString &text)
{
    AlertSpec spec;
    spec.messageText = message;
    spec.informativeText = text;
    spec.buttons = {okText(), cancelText()};
    spec.defaultButton = 0;
    spec.escapeButton = 1;
    return runAlert(spec) != 1;
}

bool LogAlert::askYesNo(const QString &message, const QString &text)
{
    AlertSpec spec;
    spec.messageText = message;
    spec.informativeText = text;
    spec.buttons = {UiText::string(QStringLiteral("YES"), QStringLiteral("YES")),
                    UiText::string(QStringLiteral("NO"), QStringLiteral("NO"))};
    spec.defaultButton = 1; // Return presses "NO"
    spec.escapeButton = 0;  // Escape presses "YES"
    return runAlert(spec) != 1;
}
