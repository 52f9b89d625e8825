#include "shell/ui/PreviewPage.h"

#include "foundation/AppLog.h"
#include "platform/ui/QvWebView.h"

namespace {

// The page a new window of the preview would show: its first address goes to the
// user's browser (when it may), then the page goes.
class OutsideWindowPage : public QWebEnginePage
{
public:
    OutsideWindowPage(QWebEngineProfile *profile, std::function<void(const QUrl &)> leave, QObject *parent)
        : QWebEnginePage(profile, parent), m_leave(std::move(leave))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override
    {
        if (!m_done) {
            m_done = true;
            m_leave(url);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void(const QUrl &)> m_leave;
    bool m_done = false;
};

} // namespace

PreviewPage::PreviewPage(QObject *parent) : QWebEnginePage(parent) {}

bool PreviewPage::opensInBrowser(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"));
}

bool PreviewPage::isBookAddress(const QUrl &url) const
{
    if (m_base.isEmpty())
        return false;
    if (url.scheme() == QLatin1String("blob")) // made by a page of the book
        return QvWebView::isBelow(QUrl(url.path()), m_base.adjusted(QUrl::RemovePath));
    return QvWebView::isBelow(url, m_base);
}

void PreviewPage::leave(const QUrl &url)
{
    if (isBookAddress(url))
        return;
    if (!opensInBrowser(url)) {
        AppLog::shared().log(QStringLiteral("The preview does not follow a link to %1.").arg(url.toDisplayString()));
        return;
    }
    emit outsideLinkRequested(url);
}

bool PreviewPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // Frames of the book may show other sites: the bridge and the kept answer are
    // the main frame's only.
    if (!isMainFrame || isBookAddress(url))
        return true;
    // The program empties the view when the book closes.
    if (type == NavigationTypeTyped && url == QUrl(QStringLiteral("about:blank")))
        return true;
    if (type == NavigationTypeLinkClicked || type == NavigationTypeFormSubmitted || type == NavigationTypeOther)
        leave(url);
    return false;
}

QWebEnginePage *PreviewPage::createWindow(WebWindowType)
{
    return new OutsideWindowPage(profile(), [this](const QUrl &url) { leave(url); }, this);
}
