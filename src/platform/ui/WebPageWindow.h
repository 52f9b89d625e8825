#pragma once
// A web page (a book) in a browser window of the program's own, for when the desktop's
// browser cannot show it: run by root, browsers refuse to start without their sandbox,
// while the program's web engine runs without it (see the README). Workspace::openWebPage
// decides; one such window serves the whole program. It is a plain browser: the pages it
// shows get no bridge into the program.

#include <QUrl>
#include <QWidget>

class QWebEngineView;

class WebPageWindow : public QWidget
{
    Q_OBJECT
public:
    // True when the desktop's browser refuses to show pages: the program runs as root.
    static bool desktopBrowserRefuses();

    // Shows url in the program's window, made on first use.
    static WebPageWindow *showPage(const QUrl &url);
    // The window while it is open, else null.
    static WebPageWindow *current();

    QWebEngineView *webView() const { return m_web; }

private:
    WebPageWindow();
    QWebEngineView *m_web = nullptr;
};
