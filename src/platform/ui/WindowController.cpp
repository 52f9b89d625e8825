#include "platform/ui/WindowController.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"

#include <QGuiApplication>
#include <QScreen>

WindowController::WindowController(QObject *parent) : QObject(parent) {}

WindowController::WindowController(const QString &nibName, WindowLoader::Lookup lookup, QObject *parent)
    : QObject(parent), m_nibName(nibName), m_lookup(lookup)
{
}

WindowController::~WindowController()
{
    m_sheetEnd = nullptr;
    if (m_window) {
        m_window->m_controller = nullptr;
        delete m_window.data();
    }
}

QString WindowController::windowLabel() const
{
    if (!m_nibName.isEmpty())
        return m_nibName;
    return QString::fromLatin1(metaObject()->className());
}

QvWindow *WindowController::createWindow()
{
    if (m_nibName.isEmpty())
        return new QvWindow;
    const QString path = WindowLoader::findDescription(m_nibName, m_lookup);
    if (path.isEmpty()) {
        throw WindowLoadError(QStringLiteral("Window \"%1\": no window description \"%1.ui\" in %2")
                                  .arg(m_nibName, WindowLoader::searchFolders(m_lookup).join(QStringLiteral(", ")))
                                  .toStdString());
    }
    QString error;
    QvWindow *window = WindowLoader::load(path, &error);
    if (!window) {
        throw WindowLoadError(
            QStringLiteral("Window \"%1\": cannot load %2: %3").arg(m_nibName, path, error).toStdString());
    }
    m_nibPath = path;
    return window;
}

QvWindow *WindowController::window()
{
    if (m_loaded || m_loading)
        return m_window;
    m_loading = true;
    try {
        m_window = createWindow();
        if (!m_window)
            throw WindowLoadError(QStringLiteral("Window \"%1\": no window was made").arg(windowLabel()).toStdString());
        m_window->m_controller = this;
        bindOutlets();
        awakeFromNib();
    } catch (...) {
        m_loading = false;
        if (m_window) {
            m_window->m_controller = nullptr;
            delete m_window.data();
        }
        m_nibPath.clear();
        throw;
    }
    m_loading = false;
    m_loaded = true;
    emit windowDidLoad();
    return m_window;
}

QObject *WindowController::lookupOutlet(const QString &name, const QMetaObject *type, QString *foundType) const
{
    if (!m_window)
        return nullptr;
    QList<QObject *> candidates;
    if (m_window->objectName() == name)
        candidates << m_window.data();
    candidates << m_window->findChildren<QObject *>(name);
    for (QObject *candidate : std::as_const(candidates)) {
        if (candidate->metaObject()->inherits(type))
            return candidate;
    }
    if (foundType && !candidates.isEmpty())
        *foundType = QString::fromLatin1(candidates.first()->metaObject()->className());
    return nullptr;
}

QObject *WindowController::findOutlet(const QString &name, const QMetaObject *type) const
{
    QString foundType;
    if (QObject *found = lookupOutlet(name, type, &foundType))
        return found;
    const QString expected = QString::fromLatin1(type->className());
    const QString message =
        foundType.isEmpty()
            ? QStringLiteral("Window \"%1\": outlet \"%2\" (%3) is missing").arg(windowLabel(), name, expected)
            : QStringLiteral("Window \"%1\": outlet \"%2\" is a %3, expected %4")
                  .arg(windowLabel(), name, foundType, expected);
    throw WindowLoadError(message.toStdString());
}

bool WindowController::isWindowVisible() const
{
    return m_window && m_window->isVisible();
}

int WindowController::runModal()
{
    QvWindow *w = window();
    if (!w || m_modal || m_sheet)
        return m_closeMode;
    QPointer<WindowController> self(this);
    w->setWindowModality(Qt::ApplicationModal);
    m_modal = true;
    if (UiTestDriver *driver = UiTestDriver::current())
        driver->modalRunWillStart(this);
    const int code = w->exec();
    if (!self)
        return code;
    m_modal = false;
    return code;
}

void WindowController::beginSheet(QWidget *parentWindow, std::function<void(int)> didEnd)
{
    QvWindow *w = window();
    if (!w || m_modal || m_sheet)
        return;
    QWidget *host = parentWindow ? parentWindow->window() : nullptr;
    if (host == w)
        host = nullptr;
    m_sheet = true;
    m_sheetEnd = std::move(didEnd);
    if (host)
        w->setParent(host, w->windowFlags() | Qt::Dialog);
    w->setWindowModality(host ? Qt::WindowModal : Qt::ApplicationModal);
    if (UiTestDriver *driver = UiTestDriver::current())
        driver->sheetDidBegin(this);
    w->show();
    w->raise();
    w->activateWindow();
}

void WindowController::showWindow()
{
    QvWindow *w = window();
    if (!w)
        return;
    if (!m_modal && !m_sheet)
        w->setWindowModality(Qt::NonModal);
    w->show();
    w->raise();
    w->activateWindow();
}

void WindowController::center()
{
    QvWindow *w = window();
    if (!w)
        return;
    QRect area;
    if (QWidget *parent = w->parentWidget())
        area = parent->window()->frameGeometry();
    else if (QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isValid())
        return;
    QRect frame = w->frameGeometry();
    frame.moveCenter(area.center());
    w->move(frame.topLeft());
}

void WindowController::close()
{
    QvWindow *w = m_window;
    if (!w || m_closing || !(w->isVisible() || m_modal || m_sheet))
        return;
    QPointer<WindowController> self(this);
    m_closing = true;
    windowWillClose();
    if (!self)
        return;
    const int code = m_closeMode;
    const bool wasSheet = m_sheet;
    std::function<void(int)> didEnd = std::move(m_sheetEnd);
    m_sheetEnd = nullptr;
    m_sheet = false;
    w->done(code); // hides the window and ends a running exec() with code
    if (!self)
        return;
    if (wasSheet && m_window) {
        m_window->setWindowModality(Qt::NonModal);
        m_window->setParent(nullptr, m_window->windowFlags() | Qt::Dialog);
    }
    m_closing = false;
    emit windowDidClose(code);
    if (self && didEnd)
        didEnd(code);
}

void WindowController::performClose()
{
    if (!windowShouldClose())
        return;
    close();
}

void WindowController::closeWindowWithCode(int code)
{
    m_closeMode = code;
    close();
}

void WindowController::closeWindowWithCodeOnMainThread(int code)
{
    performOnMainThread([this, code] { closeWindowWithCode(code); }, this);
}

WindowController *WindowController::controllerForWidget(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *window = qobject_cast<const QvWindow *>(w)) {
            if (window->windowController())
                return window->windowController();
        }
    }
    return nullptr;
}
