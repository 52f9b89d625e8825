#pragma once
// The book of the live preview in a browser window of the program's own, for when the
// desktop's browser cannot show it: run by root, browsers refuse to start without
// their sandbox, while the program's web engine runs without it (see the README).

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QvWebView;

class BookBrowserWindow : public QWidget
{
    Q_OBJECT
public:
    explicit BookBrowserWindow(QWidget *parent = nullptr);

    // True when the desktop's browser refuses to show the book: the program runs as root.
    static bool desktopBrowserRefuses();

    // Shows the window with the book at url.
    void openBook(const QUrl &url);
    QvWebView *webView() const { return m_web; }

private:
    QvWebView *m_web = nullptr;
};
