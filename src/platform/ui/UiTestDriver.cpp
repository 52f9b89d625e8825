#include "platform/ui/UiTestDriver.h"

#include "platform/ui/QvWindow.h"
#include "platform/ui/WindowController.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace {
QList<UiTestDriver *> &driverStack()
{
    static QList<UiTestDriver *> stack;
    return stack;
}

UiTestDriver::FailureHandler &globalFailureHandler()
{
    static UiTestDriver::FailureHandler handler;
    return handler;
}
} // namespace

UiTestDriver::UiTestDriver()
{
    driverStack().append(this);
}

UiTestDriver::~UiTestDriver()
{
    driverStack().removeAll(this);
    if (const int unused = unusedAnswers())
        fail(QStringLiteral("%1 scripted answer(s) were never asked for (alerts %2, panels %3, modal runs %4)")
                 .arg(unused)
                 .arg(m_alertAnswers.size())
                 .arg(m_panelAnswers.size())
                 .arg(m_modalHandlers.size()));
}

UiTestDriver *UiTestDriver::current()
{
    return driverStack().isEmpty() ? nullptr : driverStack().last();
}

void UiTestDriver::setFailureHandler(FailureHandler handler)
{
    globalFailureHandler() = std::move(handler);
}

UiTestDriver::FailureHandler UiTestDriver::failureHandler()
{
    return globalFailureHandler();
}

void UiTestDriver::fail(const QString &message)
{
    m_failures << message;
    if (globalFailureHandler())
        globalFailureHandler()(message);
    else
        qCritical("UiTestDriver: %s", qPrintable(message));
}

int UiTestDriver::unusedAnswers() const
{
    return int(m_alertAnswers.size() + m_panelAnswers.size() + m_modalHandlers.size());
}

void UiTestDriver::answerAlert(const QString &buttonTitle)
{
    m_alertAnswers << AlertAnswer{AlertAnswer::Title, buttonTitle, 0};
}

void UiTestDriver::answerAlertIndex(int index)
{
    m_alertAnswers << AlertAnswer{AlertAnswer::Index, QString(), index};
}

void UiTestDriver::answerAlertWithKey(int key)
{
    m_alertAnswers << AlertAnswer{AlertAnswer::Key, QString(), key};
}

void UiTestDriver::answerPanel(const QStringList &paths)
{
    m_panelAnswers << PanelAnswer{true, paths};
}

void UiTestDriver::cancelPanel()
{
    m_panelAnswers << PanelAnswer{false, {}};
}

void UiTestDriver::answerModal(ModalHandler handler)
{
    m_modalHandlers << std::move(handler);
}

QString UiTestDriver::describe(const AlertRequest &request)
{
    return QStringLiteral("\"%1\" / \"%2\" [%3]")
        .arg(request.messageText, request.informativeText, request.buttons.join(QStringLiteral(", ")));
}

int UiTestDriver::pressKeyOnRealAlert(const AlertRequest &request, int key)
{
    QMessageBox *box = LogAlert::createMessageBox(request, nullptr);
    QPointer<QMessageBox> guard(box);
    QTimer::singleShot(0, box, [box, key] {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
    });
    // A key the box ignores must not leave the test waiting.
    QTimer::singleShot(m_modalTimeout, box, [this, box, key] {
        if (box->isVisible()) {
            fail(QStringLiteral("Key %1 did not end the alert").arg(key));
            box->done(0);
        }
    });
    box->exec();
    if (!guard)
        return -1;
    const int index = box->clickedButton() ? LogAlert::pressedButton(*box, request) : -1;
    delete box;
    return index;
}

int UiTestDriver::alertRequested(const AlertRequest &input, bool sheet)
{
    const AlertRequest request = LogAlert::normalized(input);
    ShownAlert shown{request.messageText, request.informativeText, request.buttons, request.detailedText,
                     request.style, sheet, -1};
    const int fallback = request.escapeButton >= 0 ? request.escapeButton : (request.defaultButton >= 0 ? request.defaultButton : 0);
    int index = fallback;
    if (m_alertAnswers.isEmpty()) {
        fail(QStringLiteral("Unanswered alert %1").arg(describe(request)));
    } else {
        const AlertAnswer answer = m_alertAnswers.takeFirst();
        switch (answer.kind) {
        case AlertAnswer::Title:
            index = int(request.buttons.indexOf(answer.title));
            if (index < 0) {
                fail(QStringLiteral("Alert %1 has no button \"%2\"").arg(describe(request), answer.title));
                index = fallback;
            }
            break;
        case AlertAnswer::Index:
            index = answer.value;
            if (index < 0 || index >= request.buttons.size()) {
                fail(QStringLiteral("Alert %1 has no button %2").arg(describe(request)).arg(answer.value));
                index = fallback;
            }
            break;
        case AlertAnswer::Key:
            index = pressKeyOnRealAlert(request, answer.value);
            if (index < 0) {
                fail(QStringLiteral("Key %1 pressed no button of alert %2").arg(answer.value).arg(describe(request)));
                index = fallback;
            }
            break;
        }
    }
    shown.pressed = index;
    m_alerts << shown;
    return index;
}

bool UiTestDriver::panelRequested(const QvPanel &panel, QList<QUrl> *chosen)
{
    m_panels << panel.options();
    if (m_panelAnswers.isEmpty()) {
        fail(QStringLiteral("Unanswered %1 panel \"%2\"")
                 .arg(panel.options().isOpenPanel ? QStringLiteral("open") : QStringLiteral("save"),
                      panel.options().title.isEmpty() ? panel.options().prompt : panel.options().title));
        return false;
    }
    const PanelAnswer answer = m_panelAnswers.takeFirst();
    if (!answer.ok || answer.paths.isEmpty())
        return false;
    if (chosen) {
        chosen->clear();
        for (const QString &path : answer.paths)
            chosen->append(QUrl::fromLocalFile(path));
    }
    return true;
}

void UiTestDriver::modalRunWillStart(WindowController *controller)
{
    m_modalRuns << controller->windowLabel();
    QPointer<WindowController> guard(controller);
    QPointer<UiTestDriver> self(this);
    const quint64 serial = ++m_modalSerial;
    m_activeModal.insert(controller, serial);
    if (m_modalHandlers.isEmpty()) {
        fail(QStringLiteral("Unanswered modal run of window \"%1\"").arg(controller->windowLabel()));
        QTimer::singleShot(0, controller, [guard] {
            if (guard && guard->isRunningModal())
                guard->close();
        });
        return;
    }
    ModalHandler handler = m_modalHandlers.takeFirst();
    // Runs inside the modal loop, once the window is up.
    QTimer::singleShot(0, controller, [self, guard, handler, serial] {
        if (!guard)
            return;
        handler(guard);
        if (!self || !guard || !guard->isRunningModal())
            return;
        QTimer::singleShot(self->m_modalTimeout, guard, [self, guard, serial] {
            if (!self || !guard || !guard->isRunningModal() || self->m_activeModal.value(guard) != serial)
                return;
            self->fail(QStringLiteral("Modal run of window \"%1\" was not ended by its handler")
                           .arg(guard->windowLabel()));
            guard->close();
        });
    });
}

void UiTestDriver::sheetDidBegin(WindowController *controller)
{
    m_sheets << controller->windowLabel();
}

bool UiTestDriver::workspaceRequested(const QString &kind, const QString &target)
{
    m_workspace << WorkspaceRequest{kind, target};
    return !m_workspacePassThrough;
}
