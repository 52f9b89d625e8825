#include "shell/ui/BookBrowserWindow.h"

#include "foundation/AppStrings.h"
#include "platform/ui/QvWebView.h"

#include <QVBoxLayout>
#include <QWebEngineView>

#include <unistd.h>

BookBrowserWindow::BookBrowserWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("bookBrowserWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *place = new QWidget(this);
    place->setObjectName(QStringLiteral("bookView"));
    place->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(place);
    m_web = QvWebView::instanceWith(place);
    const QString title = loadAppString("BookBrowserW-Book Preview", "Book Preview");
    setWindowTitle(title);
    connect(m_web->wkWebView(), &QWebEngineView::titleChanged, this, [this, title](const QString &page) {
        setWindowTitle(page.isEmpty() ? title : page);
    });
    resize(1100, 800);
}

bool BookBrowserWindow::desktopBrowserRefuses()
{
    return ::geteuid() == 0;
}

void BookBrowserWindow::openBook(const QUrl &url)
{
    m_web->loadURL(url);
    show();
    raise();
    activateWindow();
}
