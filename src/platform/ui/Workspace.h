#pragma once
// Hands files and addresses to the desktop: open with the default application, and
// show a file selected in the file manager. When the desktop cannot open one (no
// browser, no application for the file), an alert says so with the reason the
// desktop's opener gave.

#include <QString>
#include <QUrl>

class Workspace
{
public:
    // Opens a file or folder with its default application. False when it does not exist.
    static bool openFile(const QString &path);
    // Opens an address (web page, mail, file URL).
    static bool openURL(const QUrl &url);
    // Opens a web page, a book's page most often, in the desktop's browser; run by root,
    // where browsers refuse to start, in the program's own window (WebPageWindow).
    static bool openWebPage(const QUrl &url);
    // Shows the file selected in its folder: the desktop file manager's ShowItems over
    // D-Bus, or, when no file manager answers, the folder itself. False when the path
    // does not exist.
    static bool selectFile(const QString &path);
};
