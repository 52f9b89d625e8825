#include "shell/ui/PreviewPane.h"

#include "foundation/AppLog.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/QvWebView.h"
#include "shell/PreviewAddress.h"
#include "shell/ui/PreviewPage.h"
#include "platform/ui/Workspace.h"

#include <QChildEvent>
#include <QDropEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace {
const QString kAnswerKeeper = QStringLiteral("quorvel-answer-keeper");
}

PreviewPane::PreviewPane(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("previewMessage"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setStyleSheet(QStringLiteral("background: #fdecea; color: #8c1d18; padding: 8px 12px;"
                                            "border-bottom: 1px solid #f2b8b5;"));
    m_message->hide();
    layout->addWidget(m_message);

    m_stack = new QStackedWidget(this);
    m_placeholder = new QLabel(this);
    m_placeholder->setObjectName(QStringLiteral("previewPlaceholder"));
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    m_placeholder->setStyleSheet(QStringLiteral("background: #2e3b4e; color: #d5dbe3; font-size: 16px;"));
    m_stack->addWidget(m_placeholder);
    m_webHolder = new QWidget(this);
    auto *holderLayout = new QVBoxLayout(m_webHolder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_webHolder);
    layout->addWidget(m_stack, 1);
}

void PreviewPane::ensureWebView()
{
    if (m_web)
        return;
    auto *view = new QWebEngineView(m_webHolder);
    view->setObjectName(QStringLiteral("previewWebView"));
    // Only the book's own pages are shown; its links elsewhere open in the browser.
    m_page = new PreviewPage(view);
    view->setPage(m_page);
    connect(m_page, &PreviewPage::outsideLinkRequested, this, [](const QUrl &url) { Workspace::openURL(url); });
    m_webHolder->layout()->addWidget(view);
    view->installEventFilter(this);
    for (QObject *child : view->children())
        child->installEventFilter(this);
    m_web = QvWebView::instanceWith(
        view, nullptr,
        {{QStringLiteral("connector"), [this](const QVariant &body) { onConnector(body); }},
         {QStringLiteral("jsPrint"),
          [](const QVariant &body) { AppLog::shared().log(QStringLiteral("jsPrint:%1").arg(body.toString())); }}});
    connect(m_web, &QvWebView::loadFinished, this, &PreviewPane::bookLoaded);
    installAnswerKeeper();
}

void PreviewPane::onConnector(const QVariant &message)
{
    const QVariantMap map = message.toMap();
    if (map.value(QStringLiteral("type")).toString() != QLatin1String("securityAnswer")) {
        emit bookConnector(message);
        return;
    }
    if (map.value(QStringLiteral("forget")).toBool()) {
        forgetAnswer();
        return;
    }
    keepAnswer(map.value(QStringLiteral("user")).toString(), map.value(QStringLiteral("password")).toString());
}

void PreviewPane::keepAnswer(const QString &user, const QString &password)
{
    m_answer = {{QStringLiteral("user"), user}, {QStringLiteral("password"), password}};
    installAnswerKeeper();
}

void PreviewPane::forgetAnswer()
{
    m_answer.clear();
    installAnswerKeeper();
}

// Runs before the page's own scripts at every load of the view, in the book's pages
// only: the viewer finds the kept answer there, and the way to report a new one.
void PreviewPane::installAnswerKeeper()
{
    if (!m_web)
        return;
    QWebEngineScriptCollection &scripts = m_web->wkWebView()->page()->scripts();
    for (const QWebEngineScript &old : scripts.find(kAnswerKeeper))
        scripts.remove(old);
    if (m_base.isEmpty())
        return;
    const QJsonObject answer = QJsonObject::fromVariantMap(m_answer);
    const QJsonArray values{m_base.toString(QUrl::FullyEncoded), m_answer.isEmpty() ? QJsonValue() : QJsonValue(answer)};
    QWebEngineScript keeper;
    keeper.setName(kAnswerKeeper);
    keeper.setSourceCode(QStringLiteral("(function (book, answer) {"
                                        " if (String(location.href).indexOf(book) !== 0) return;"
                                        " window.quorvelAnswerKeeper = {answer: answer,"
                                        " remember: function (user, password) { window.qvCallBack('connector',"
                                        " {type: 'securityAnswer', user: user, password: password}); },"
                                        " forget: function () { window.qvCallBack('connector', {type: 'securityAnswer', forget: true}); }};"
                                        "})(%1);")
                             .arg(QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)).mid(1).chopped(1)));
    keeper.setInjectionPoint(QWebEngineScript::DocumentCreation);
    keeper.setWorldId(QWebEngineScript::MainWorld);
    keeper.setRunsOnSubFrames(false);
    scripts.insert(keeper);
}

void PreviewPane::closeBook()
{
    forgetAnswer();
    // The page goes with the book, and with it what its scripts kept.
    if (m_web)
        m_web->wkWebView()->setUrl(QUrl(QStringLiteral("about:blank")));
}

void PreviewPane::showPlaceholder(const QString &text)
{
    m_placeholder->setText(text);
    m_stack->setCurrentWidget(m_placeholder);
}

QString PreviewPane::placeholderText() const
{
    return m_placeholder->text();
}

bool PreviewPane::isShowingBook() const
{
    return m_stack->currentWidget() == m_webHolder;
}

void PreviewPane::showBook(const QUrl &base, bool mobile, int generation, bool samePage)
{
    const int page = samePage ? currentPage() : 0;
    ensureWebView();
    if (base != m_base) {
        m_base = base;
        m_page->setBookAddress(base);
        m_web->setTrustedAddress(base);
        installAnswerKeeper();
    }
    // The viewer opens on the page of "#p=N" itself.
    m_requested = PreviewAddress::bookUrl(base, mobile, generation, page);
    m_stack->setCurrentWidget(m_webHolder);
    ++m_loads;
    m_shown = m_written;
    m_web->loadURL(m_requested);
}

void PreviewPane::applySettings(const QUrl &base, std::function<void(bool)> done)
{
    const QUrl at = currentUrl();
    // A book still loading answers for itself: its viewer takes the settings once it
    // stands (it read its configuration then), and asks for a new load before.
    if (!m_web || !isShowingBook() || !PreviewAddress::isBookUrl(base, at) || !m_written.fitsOnto(m_shown)) {
        done(false);
        return;
    }
    const bool mobile = PreviewAddress::isMobileUrl(at);
    const QJsonObject config = mobile ? m_written.mobile : m_written.desktop;
    if (config.isEmpty()) {
        done(false);
        return;
    }
    // The page checks that it is the preview book before it is handed the configuration
    // (the view may have gone on to another page since): the address it is at cannot be
    // changed by a page's script.
    const QUrl book = PreviewAddress::bookUrl(base, mobile, 0, 0);
    auto json = [](const QString &text) {
        return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
    };
    const QString script =
        QStringLiteral("(function () { if (location.origin !== %1 || location.pathname !== %2) return 'reload';"
                       " var config = %3;"
                       " return window.Quorvel && typeof Quorvel.applySettings === 'function' ? Quorvel.applySettings(config) : 'reload'; })()")
            .arg(json(book.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString()), json(book.path(QUrl::FullyEncoded)),
                 QString::fromUtf8(QJsonDocument(config).toJson(QJsonDocument::Compact)));
    const int load = m_loads;
    const PreviewSettings settings = m_written;
    QPointer<PreviewPane> self(this);
    m_web->evaluateJavaScript(script, [self, load, settings, done](const QVariant &answer) {
        if (!self || load != self->m_loads)
            return; // the view loaded the book again meanwhile
        const QString said = answer.toString();
        const bool applied = said == QLatin1String("applied") || said == QLatin1String("same");
        if (applied)
            self->m_shown = settings;
        done(applied);
    });
}

QUrl PreviewPane::currentUrl() const
{
    return m_web ? m_web->wkWebView()->url() : QUrl();
}

int PreviewPane::currentPage() const
{
    if (!m_web)
        return 0;
    const int page = PreviewAddress::pageFromUrl(currentUrl());
    return page > 0 ? page : PreviewAddress::pageFromUrl(m_requested);
}

void PreviewPane::goToPage(int page)
{
    if (!m_web || page <= 0)
        return;
    m_web->evaluateJavaScript(
        QStringLiteral("(function(p){ if (window.Quorvel && Quorvel.reader && Quorvel.reader.go)"
                       " { Quorvel.reader.go(p); return true; } location.hash = 'p=' + p; return false; })(%1)")
            .arg(page));
}

void PreviewPane::showMessage(const QString &text)
{
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

void PreviewPane::clearMessage()
{
    showMessage(QString());
}

QString PreviewPane::message() const
{
    return m_message->text();
}

QWebEngineView *PreviewPane::webEngineView() const
{
    return m_web ? m_web->wkWebView() : nullptr;
}

bool PreviewPane::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        // The view makes the widget that takes the drops when it first shows a page.
        static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        if (!m_dropTarget)
            return false;
        // Taken here, so the page never navigates to a dropped file.
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (m_dropTarget->acceptedPaths(drag->mimeData()).isEmpty()) {
            drag->ignore();
        } else {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        if (!m_dropTarget)
            return false;
        auto *drop = static_cast<QDropEvent *>(event);
        if (m_dropTarget->performDrop(drop->mimeData())) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
