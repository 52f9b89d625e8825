#include "platform/ui/Workspace.h"

#include "platform/ui/UiTestDriver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileInfo>

namespace {
const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");

bool openFolderOf(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
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
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool Workspace::openURL(const QUrl &url)
{
    if (UiTestDriver *driver = UiTestDriver::current()) {
        if (driver->workspaceRequested(QStringLiteral("url"), url.toString()))
            return url.isValid();
    }
    return url.isValid() && QDesktopServices::openUrl(url);
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
