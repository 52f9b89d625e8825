#pragma once
// The page of the main window's preview: it shows the preview book and nothing else.
//
// Only addresses below the book's (the preview server's own secret address) are shown
// in the view. A link to any other address, followed in the book or opened as a new
// window, is handed to the user's browser instead (web and mail addresses only) and
// never reaches the view, so no foreign page ever runs where the program's bridge and
// the kept password are. Frames inside the book may show other sites; they get
// neither (PreviewPane, QvWebView).

#include <QUrl>
#include <QWebEnginePage>

class PreviewPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit PreviewPage(QObject *parent = nullptr);

    // The address every page of the preview lies below.
    void setBookAddress(const QUrl &base) { m_base = base; }
    QUrl bookAddress() const { return m_base; }

    // Whether a link to url leaves the preview for the user's browser.
    static bool opensInBrowser(const QUrl &url);

signals:
    // A link of the book leads out of it (url passed opensInBrowser).
    void outsideLinkRequested(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;

private:
    bool isBookAddress(const QUrl &url) const;
    void leave(const QUrl &url);

    QUrl m_base;
};
