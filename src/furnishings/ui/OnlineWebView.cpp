#include "furnishings/ui/OnlineWebView.h"

#include "foundation/AppStrings.h"
#include "furnishings/ui/GalleryWebViews.h"
#include "platform/ui/QvWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

OnlineWebView::OnlineWebView(Kind kind, const QUrl &address, QObject *parent)
    : WindowController(parent), m_kind(kind), m_address(address)
{
}

QvWindow *OnlineWebView::createWindow()
{
    auto *window = new QvWindow;
    window->setWindowTitle(m_kind == Scenes ? loadAppString("OnlineWebView-Online scenes", "Online scenes")
                                            : loadAppString("OnlineWebView-Online backgrounds", "Online backgrounds"));
    window->resize(900, 640);
    auto *layout = new QVBoxLayout(window);
    auto *page = new QWidget(window);
    page->setObjectName(QStringLiteral("webView"));
    page->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(page, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *close = new QPushButton(loadAppString("OnlineWebView-Close", "Close"), window);
    close->setObjectName(QStringLiteral("btnClose"));
    buttons->addWidget(close);
    layout->addLayout(buttons);
    return window;
}

void OnlineWebView::awakeFromNib()
{
    QWidget *page = requireOutlet<QWidget>("webView");
    if (m_kind == Scenes)
        m_gallery = new SCWebView(page, this, this);
    else
        m_gallery = new BGWebView(page, this, this);
    connect(m_gallery, &JSWebView::applied, this, &OnlineWebView::onApply);
    connect(requireOutlet<QPushButton>("btnClose"), &QPushButton::clicked, this, [this] { closeWindowWithCode(0); });
    m_gallery->loadURL(m_address);
}

void OnlineWebView::onApply(const QString &name)
{
    m_applied = name;
    closeWindowWithCode(1);
}
