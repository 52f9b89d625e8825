#include "platform/ui/WebPageWindow.h"

#include "foundation/AppStrings.h"

#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <unistd.h>

namespace {
QPointer<WebPageWindow> s_window;
}

WebPageWindow::WebPageWindow() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("webPageWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_web = new QWebEngineView(this);
    m_web->setObjectName(QStringLiteral("pageView"));
    layout->addWidget(m_web);
    const QString title = loadAppString("WebPageW-Book", "Book");
    setWindowTitle(title);
    connect(m_web, &QWebEngineView::titleChanged, this, [this, title](const QString &page) {
        setWindowTitle(page.isEmpty() ? title : page);
    });
    resize(1100, 800);
}

bool WebPageWindow::desktopBrowserRefuses()
{
    return ::geteuid() == 0;
}

WebPageWindow *WebPageWindow::showPage(const QUrl &url)
{
    if (!s_window)
        s_window = new WebPageWindow;
    s_window->m_web->load(url);
    s_window->show();
    s_window->raise();
    s_window->activateWindow();
    return s_window;
}

WebPageWindow *WebPageWindow::current()
{
    return s_window;
}
