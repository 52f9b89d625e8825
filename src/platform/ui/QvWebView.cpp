#include "platform/ui/QvWebView.h"

#include "foundation/Crypto.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

// The object page script talks to through the web channel.
class QvWebBridge : public QObject
{
    Q_OBJECT
public:
    explicit QvWebBridge(QvWebView *owner) : QObject(owner), m_owner(owner) {}

    // token: the view's own, which only the bridge script it put into a page knows.
    Q_INVOKABLE void post(const QString &token, const QString &name, const QString &json)
    {
        if (token == m_owner->m_token)
            m_owner->deliver(name, json);
    }

private:
    QvWebView *m_owner;
};

namespace {
// %1: the address a document's must start with to get the bridge ("" for any); %2:
// the view's token, without which the program hears nothing (the channel's transport is
// there for any script of the document, and maybe of its frames).
const char *const BridgeScript = R"JS(
(function (trusted, token) {
  if (window.__qvBridge) return;
  if (trusted && String(location.href).indexOf(trusted) !== 0) return;
  var queue = [];
  var bridge = null;
  function send(name, body) {
    var text;
    try { text = JSON.stringify(body === undefined ? null : body); } catch (e) { text = 'null'; }
    if (text === undefined) text = 'null';
    if (bridge) bridge.post(token, String(name), text); else queue.push([String(name), text]);
  }
  window.__qvBridge = send;
  window.qvCallBack = send;
  var handlers = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string') return undefined;
      return { postMessage: function (body) { send(name, body); } };
    }
  });
  try {
    window.webkit = window.webkit || {};
    window.webkit.messageHandlers = handlers;
  } catch (e) {}
  new QWebChannel(qt.webChannelTransport, function (channel) {
    bridge = channel.objects.qvBridge;
    var pending = queue;
    queue = [];
    pending.forEach(function (m) { bridge.post(token, m[0], m[1]); });
  });
})(%1, %2);
)JS";

const QString BridgeScriptName = QStringLiteral("qv-bridge");

QString webChannelScript()
{
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}
} // namespace

QvWebView::QvWebView(QWebEngineView *view)
    : QObject(view), m_view(view), m_token(QString::fromLatin1(Crypto::randomBytes(16).toHex()))
{
    setObjectName(QStringLiteral("qv_webViewWrapper"));
    installBridge();
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (m_delegate)
            m_delegate->webViewDidFinishLoad(this, ok);
        emit loadFinished(ok);
    });
}

QvWebView *QvWebView::instanceWith(QWidget *placeholder, QvWebViewDelegate *delegate, const CallBacks &callBacks)
{
    if (!placeholder)
        return nullptr;
    auto *view = qobject_cast<QWebEngineView *>(placeholder);
    if (!view) {
        QWidget *parent = placeholder->parentWidget();
        const bool hidden = placeholder->isHidden();
        view = new QWebEngineView(parent);
        const QString name = placeholder->objectName();
        placeholder->setObjectName(name + QStringLiteral("_placeholder"));
        view->setObjectName(name);
        view->setSizePolicy(placeholder->sizePolicy());
        view->setMinimumSize(placeholder->minimumSize());
        view->setMaximumSize(placeholder->maximumSize());
        view->setGeometry(placeholder->geometry());
        bool replaced = false;
        if (parent && parent->layout())
            replaced = parent->layout()->replaceWidget(placeholder, view) != nullptr;
        if (!replaced && parent) {
            // Keep the stacking order of a freely placed view.
            view->stackUnder(placeholder);
        }
        placeholder->hide();
        view->setVisible(!hidden);
    }
    QvWebView *wrapper = view->findChild<QvWebView *>(QStringLiteral("qv_webViewWrapper"), Qt::FindDirectChildrenOnly);
    if (!wrapper)
        wrapper = new QvWebView(view);
    if (delegate)
        wrapper->m_delegate = delegate;
    for (auto it = callBacks.cbegin(); it != callBacks.cend(); ++it)
        wrapper->m_callBacks.insert(it.key(), it.value());
    return wrapper;
}

void QvWebView::installBridge()
{
    QWebEnginePage *page = m_view->page();
    m_channel = new QWebChannel(this);
    m_channel->registerObject(QStringLiteral("qvBridge"), new QvWebBridge(this));
    page->setWebChannel(m_channel, QWebEngineScript::MainWorld);

    QWebEngineScript channelJs;
    channelJs.setName(QStringLiteral("qv-webchannel"));
    channelJs.setSourceCode(webChannelScript());
    channelJs.setInjectionPoint(QWebEngineScript::DocumentCreation);
    channelJs.setWorldId(QWebEngineScript::MainWorld);
    channelJs.setRunsOnSubFrames(false);
    page->scripts().insert(channelJs);
    installBridgeScript();
}

void QvWebView::installBridgeScript()
{
    QWebEngineScriptCollection &scripts = m_view->page()->scripts();
    for (const QWebEngineScript &old : scripts.find(BridgeScriptName))
        scripts.remove(old);
    const QString trusted = m_trusted.isEmpty() ? QString() : m_trusted.toString(QUrl::FullyEncoded);
    QWebEngineScript bridgeJs;
    bridgeJs.setName(BridgeScriptName);
    // The arguments as script values: JSON-encoded, without the array around them.
    const QString arguments =
        QString::fromUtf8(QJsonDocument(QJsonArray{trusted, m_token}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
    bridgeJs.setSourceCode(QString::fromUtf8(BridgeScript).replace(QLatin1String("%1, %2"), arguments));
    bridgeJs.setInjectionPoint(QWebEngineScript::DocumentCreation);
    bridgeJs.setWorldId(QWebEngineScript::MainWorld);
    bridgeJs.setRunsOnSubFrames(false);
    scripts.insert(bridgeJs);
}

void QvWebView::setTrustedAddress(const QUrl &address)
{
    if (address == m_trusted)
        return;
    m_trusted = address;
    installBridgeScript();
}

bool QvWebView::isBelow(const QUrl &url, const QUrl &address)
{
    return url.scheme() == address.scheme() && url.host() == address.host() && url.port() == address.port()
        && url.path(QUrl::FullyEncoded).startsWith(address.path(QUrl::FullyEncoded));
}

void QvWebView::setCallBack(const QString &name, CallBack callBack)
{
    if (callBack)
        m_callBacks.insert(name, std::move(callBack));
    else
        m_callBacks.remove(name);
}

void QvWebView::deliver(const QString &name, const QString &json)
{
    // The channel's transport is there in whatever document the view shows: only the
    // trusted pages are heard.
    if (!m_trusted.isEmpty() && !isBelow(m_view->page()->url(), m_trusted))
        return;
    QJsonParseError error{};
    // Wrapped in an array so scalars parse as well.
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray("[") + json.toUtf8() + "]", &error);
    const QVariant body = (error.error == QJsonParseError::NoError && doc.isArray())
                              ? doc.array().first().toVariant()
                              : QVariant();
    emit messageReceived(name, body);
    const auto it = m_callBacks.constFind(name);
    if (it != m_callBacks.cend() && it.value()) {
        const CallBack callBack = it.value(); // the callback may replace the table
        callBack(body);
    }
}

void QvWebView::loadURL(const QUrl &url)
{
    m_view->load(url);
}

void QvWebView::loadFile(const QString &path)
{
    m_view->load(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void QvWebView::loadHTMLString(const QString &html, const QUrl &baseUrl)
{
    m_view->setHtml(html, baseUrl);
}

void QvWebView::evaluateJavaScript(const QString &script, ResultHandler done)
{
    if (done)
        m_view->page()->runJavaScript(script, QWebEngineScript::MainWorld, [done](const QVariant &r) { done(r); });
    else
        m_view->page()->runJavaScript(script, QWebEngineScript::MainWorld);
}

void QvWebView::callFunction(const QString &name, const QVariantList &arguments, ResultHandler done)
{
    evaluateJavaScript(scriptCall(name, arguments), std::move(done));
}

QString QvWebView::scriptCall(const QString &name, const QVariantList &arguments)
{
    QString args = QString::fromUtf8(QJsonDocument(QJsonArray::fromVariantList(arguments)).toJson(QJsonDocument::Compact));
    args = args.mid(1, args.size() - 2); // drop the array brackets
    return name + QLatin1Char('(') + args + QLatin1Char(')');
}

#include "QvWebView.moc"
