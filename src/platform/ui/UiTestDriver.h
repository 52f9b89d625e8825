#pragma once
// Scripted answers for tests. While a driver is installed (the newest one is current),
// alerts, open/save panels, modal runs of window controllers and requests to the
// desktop (open a file, reveal it) do not wait for a person: they take the next
// scripted answer, and the driver records what was shown.
//
//     UiTestDriver driver;
//     driver.answerAlert("NO");                         // press "NO" on the next alert
//     driver.answerPanel({"/tmp/a.pdf"});               // choose a file in the next panel
//     driver.answerModal([](WindowController *c) { ... press buttons, end it ... });
//     dialog.doSomething();
//     QCOMPARE(driver.alerts().first().messageText, "...");
//
// Anything shown without a scripted answer is a failure (reported through the failure
// handler, which the test programs point at QTest) and is ended at once: an alert with
// its Escape button, a panel as cancelled, a modal run with its close code. A modal
// handler that leaves its window open past modalTimeout() fails and the run is ended.
// Answers left unused when the driver goes are failures too.

#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class WindowController;

class UiTestDriver : public QObject
{
    Q_OBJECT
public:
    struct ShownAlert
    {
        QString messageText;
        QString informativeText;
        QStringList buttons;
        QString detailedText;
        AlertStyle style = AlertStyle::Informational;
        bool sheet = false;
        int pressed = -1; // index of the button that answered
    };
    struct WorkspaceRequest
    {
        QString kind;   // "open", "url" or "reveal"
        QString target; // the path or address
    };
    using ModalHandler = std::function<void(WindowController *controller)>;
    using FailureHandler = std::function<void(const QString &message)>;

    UiTestDriver();
    ~UiTestDriver() override;

    static UiTestDriver *current();
    // Where failures go in every driver; the default writes a critical message.
    static void setFailureHandler(FailureHandler handler);
    static FailureHandler failureHandler();

    // Alerts, answered in order.
    void answerAlert(const QString &buttonTitle);
    void answerAlertIndex(int index);
    // Shows the real alert box and presses key on it (Qt::Key_Return, Qt::Key_Escape).
    void answerAlertWithKey(int key);
    const QList<ShownAlert> &alerts() const { return m_alerts; }

    // Panels, answered in order.
    void answerPanel(const QStringList &paths);
    void cancelPanel();
    const QList<QvPanelOptions> &panels() const { return m_panels; }

    // Modal runs of window controllers, answered in order: the handler runs inside the
    // run, once the window is shown, and should end it.
    void answerModal(ModalHandler handler);
    QStringList modalRuns() const { return m_modalRuns; }
    QStringList sheets() const { return m_sheets; }
    int modalTimeout() const { return m_modalTimeout; }
    void setModalTimeout(int milliseconds) { m_modalTimeout = milliseconds; }

    // Desktop requests are recorded; with pass-through they are also carried out.
    const QList<WorkspaceRequest> &workspaceRequests() const { return m_workspace; }
    void setWorkspacePassThrough(bool on) { m_workspacePassThrough = on; }

    QStringList failures() const { return m_failures; }
    int unusedAnswers() const;

    // Called by the platform classes.
    int alertRequested(const AlertRequest &request, bool sheet);
    bool panelRequested(const QvPanel &panel, QList<QUrl> *chosen);
    void modalRunWillStart(WindowController *controller);
    void sheetDidBegin(WindowController *controller);
    // True when the request is handled here (recorded and not carried out).
    bool workspaceRequested(const QString &kind, const QString &target);

private:
    struct AlertAnswer
    {
        enum Kind { Title, Index, Key } kind = Title;
        QString title;
        int value = 0;
    };
    struct PanelAnswer
    {
        bool ok = false;
        QStringList paths;
    };

    void fail(const QString &message);
    int pressKeyOnRealAlert(const AlertRequest &request, int key);
    static QString describe(const AlertRequest &request);

    QList<AlertAnswer> m_alertAnswers;
    QList<PanelAnswer> m_panelAnswers;
    QList<ModalHandler> m_modalHandlers;
    QList<ShownAlert> m_alerts;
    QList<QvPanelOptions> m_panels;
    QStringList m_modalRuns;
    QStringList m_sheets;
    QList<WorkspaceRequest> m_workspace;
    QStringList m_failures;
    bool m_workspacePassThrough = false;
    int m_modalTimeout = 10000;
    quint64 m_modalSerial = 0;
    QHash<const WindowController *, quint64> m_activeModal;
};
