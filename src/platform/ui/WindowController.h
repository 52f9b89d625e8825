#pragma once
// The controller of one window: it loads the window's description on first request,
// binds its outlets, prepares it (awakeFromNib), and runs it application-modal or as
// a sheet on another window. Every run ends with the integer close code closeMode().
//
// A subclass names its window description in its constructor and overrides:
//   bindOutlets()      outlet(m_btnOK, "btnOK"); ... (a missing one is an error)
//   awakeFromNib()     connects actions, fills controls; properties set between
//                      construction and the first window() call are already in place
//   windowShouldClose() refuse the close box and Escape (default: while a worker runs)
//   windowWillClose()  last look at the controls before the run ends
//
// The close box and Escape end the window with closeMode() (0 unless set); buttons use
// closeWindowWithCode(). Closing never destroys the window or the controller: the
// owner decides when the controller goes (deleteLater() from inside its callbacks).

#include "platform/ui/WindowLoader.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <stdexcept>

class QvWindow;
class QWidget;

// A window description that is missing, unreadable or lacks an outlet.
class WindowLoadError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class WindowController : public QObject
{
    Q_OBJECT
public:
    // A window built in code (createWindow()) or an empty window.
    explicit WindowController(QObject *parent = nullptr);
    // A window loaded from the description nibName, localized lookup by default.
    explicit WindowController(const QString &nibName,
                              WindowLoader::Lookup lookup = WindowLoader::Lookup::Localized,
                              QObject *parent = nullptr);
    ~WindowController() override;

    // The window, loaded and prepared on the first call. Throws WindowLoadError.
    QvWindow *window();
    bool isWindowLoaded() const { return m_loaded; }
    QString windowNibName() const { return m_nibName; }
    WindowLoader::Lookup lookup() const { return m_lookup; }
    // The description file the window came from (empty before loading or when built in code).
    QString windowNibPath() const { return m_nibPath; }
    // The description name, or the class name of a window built in code (for messages).
    QString windowLabel() const;

    int closeMode() const { return m_closeMode; }
    void setCloseMode(int code) { m_closeMode = code; }

    // Application-modal run; returns the close code.
    int runModal();
    // Window-modal on parentWindow's window; didEnd gets the close code when the sheet ends.
    void beginSheet(QWidget *parentWindow, std::function<void(int)> didEnd = {});
    // Shows the window without a modal run.
    void showWindow();
    void center();

    bool isSheet() const { return m_sheet; }
    bool isRunningModal() const { return m_modal; }
    bool isWindowVisible() const;

    // Ends the run (modal, sheet or shown) with closeMode(), after windowWillClose().
    void close();
    // The close box and Escape: closes unless windowShouldClose() refuses.
    void performClose();
    // Stores code as closeMode() and closes.
    void closeWindowWithCode(int code);
    // The same from any thread: the close happens later on the main thread.
    void closeWindowWithCodeOnMainThread(int code);

    // While set, the close box and Escape are refused (a worker uses the dialog).
    void setWorkerRunning(bool running) { m_workerRunning = running; }
    bool isWorkerRunning() const { return m_workerRunning; }

    // The controller of the window that holds widget, or null.
    static WindowController *controllerForWidget(const QWidget *widget);

signals:
    void windowDidLoad();
    void windowDidClose(int code);

protected:
    // Makes the window; the default loads the description (or makes an empty window).
    virtual QvWindow *createWindow();
    virtual void bindOutlets() {}
    virtual void awakeFromNib() {}
    virtual bool windowShouldClose() { return !m_workerRunning; }
    virtual void windowWillClose() {}

    // Binds field to the object named name in the window; throws WindowLoadError naming
    // the window and the outlet when it is missing or not a T.
    template <class T>
    void outlet(T *&field, const char *name)
    {
        field = requireOutlet<T>(name);
    }

    template <class T>
    T *requireOutlet(const char *name) const
    {
        QObject *found = findOutlet(QString::fromUtf8(name), &T::staticMetaObject);
        return static_cast<T *>(found);
    }

    // The object named name when it exists and is a T, else null (optional outlets).
    template <class T>
    T *optionalOutlet(const char *name) const
    {
        return static_cast<T *>(lookupOutlet(QString::fromUtf8(name), &T::staticMetaObject));
    }

private:
    QObject *findOutlet(const QString &name, const QMetaObject *type) const;
    QObject *lookupOutlet(const QString &name, const QMetaObject *type, QString *foundType = nullptr) const;

    QString m_nibName;
    QString m_nibPath;
    WindowLoader::Lookup m_lookup = WindowLoader::Lookup::Localized;
    QPointer<QvWindow> m_window;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_modal = false;
    bool m_sheet = false;
    bool m_closing = false;
    bool m_workerRunning = false;
    int m_closeMode = 0;
    std::function<void(int)> m_sheetEnd;
};
