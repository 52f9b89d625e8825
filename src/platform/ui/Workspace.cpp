#include "platform/ui/Workspace.h"

#include "platform/ui/WebPageWindow.h"

#include "foundation/AppStrings.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/UiTestDriver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

namespace {
const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");
// The desktop's opener; it finds the application for a file or address.
const QString Opener = QStringLiteral("xdg-open");
// An opener may stay until the application it started ends: only an end this soon
// says whether the application could be started.
constexpr qint64 OpenerAnswerTime = 15000;

void reportOpenFailure(const QUrl &url, const QString &reason)
{
    const QString what = url.isLocalFile() ? QFileInfo(url.toLocalFile()).fileName() : url.toString();
    LogAlert::alertMessage(loadAppString(QStringLiteral("Workspace-\"%1\" could not be opened."),
                                         QStringLiteral("\"%1\" could not be opened."))
                               .arg(what),
                           reason.trimmed());
}

// Hands url to the opener without waiting for it. When the opener cannot be started,
// or soon ends with an error, the user is told with the reason it gave.
bool launch(const QUrl &url)
{
    auto *process = new QProcess;
    // What the opener says goes to a file no one else sees, never to a pipe: the
    // application it starts may write there for as long as it runs.
    auto *said = new QTemporaryFile(process);
    if (said->open())
        process->setStandardErrorFile(said->fileName());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProgram(Opener);
    process->setArguments({QString::fromUtf8(url.toEncoded())});
    auto *clock = new QElapsedTimer;
    clock->start();
    QObject::connect(process, &QProcess::finished, [process, said, clock, url](int code, QProcess::ExitStatus status) {
        if (clock->elapsed() < OpenerAnswerTime && (status != QProcess::NormalExit || code != 0)) {
            QString reason = QString::fromLocal8Bit(said->readAll()).trimmed();
            if (reason.isEmpty())
                reason = loadAppString(QStringLiteral("Workspace-%1 ended with code %2."),
                                       QStringLiteral("%1 ended with code %2."))
                             .arg(Opener)
                             .arg(code);
            reportOpenFailure(url, reason);
        }
        delete clock;
        process->deleteLater();
    });
    process->start();
    if (said->isOpen())
        QFile::remove(said->fileName()); // the opener and we keep it open
    if (!process->waitForStarted(5000)) {
        const QString reason = process->errorString();
        delete clock;
        process->disconnect();
        process->deleteLater();
        reportOpenFailure(url, QStringLiteral("%1: %2").arg(Opener, reason));
        return false;
    }
    return true;
}

bool openFolderOf(const QString &path)
{
    return launch(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

bool fileManagerAvailable(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(FileManagerService))
        return true;
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(FileManagerService);
}
} // namespace

bool Workspace::openFile(const QString &path)
{
    if (UiTestDriver *driver = UiTestDriver::current()) {
        if (driver->workspaceRequested(QStringLiteral("open"), path))
            return QFileInfo::exists(path);
    }
    if (!QFileInfo::exists(path))
        return false;
    return launch(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool Workspace::openURL(const QUrl &url)
{
    if (UiTestDriver *driver = UiTestDriver::current()) {
        if (driver->workspaceRequested(QStringLiteral("url"), url.toString()))
            return url.isValid();
    }
    return url.isValid() && launch(url);
}

bool Workspace::openWebPage(const QUrl &url)
{
    if (UiTestDriver *driver = UiTestDriver::current()) {
        if (driver->workspaceRequested(QStringLiteral("page"), url.isLocalFile() ? url.toLocalFile() : url.toString()))
            return url.isValid();
    }
    if (!url.isValid() || (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())))
        return false;
    if (!WebPageWindow::desktopBrowserRefuses())
        return launch(url);
    WebPageWindow::showPage(url);
    return true;
}

bool Workspace::selectFile(const QString &path)
{
    if (UiTestDriver *driver = UiTestDriver::current()) {
        if (driver->workspaceRequested(QStringLiteral("reveal"), path))
            return QFileInfo::exists(path);
    }
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const QString absolute = info.absoluteFilePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!fileManagerAvailable(bus))
        return openFolderOf(absolute);
    QDBusMessage call = QDBusMessage::createMethodCall(FileManagerService, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       FileManagerService, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(absolute).toString()} << QString();
    // Asynchronous, so a slow file manager never blocks the window; an error falls back.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [absolute](QDBusPendingCallWatcher *w) {
        if (w->isError())
            openFolderOf(absolute);
        w->deleteLater();
    });
    return true;
}
