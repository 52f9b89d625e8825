#pragma once
// A web view with a script bridge, put in the place of a placeholder widget of a window
// description.
//
// Page script reports to the program by name, in either form:
//     window.webkit.messageHandlers.<name>.postMessage(value)
//     window.qvCallBack("<name>", value)
// The value travels as JSON; the callback registered under that name gets it as a
// QVariant (maps, lists, strings, numbers, booleans, null). Names without a callback
// are reported through messageReceived() only.
//
// Script evaluation is asynchronous: results arrive in callbacks. Values put into script
// text go through scriptCall(), which JSON-encodes every argument.
//
// The program hears only the bridge script it put into the view's main frame: every
// message carries a token of the view's that no other script knows (the web channel's
// transport under the bridge is there for any script of the document). A view that
// shows pages of its own server says so with setTrustedAddress(): the bridge then
// exists only in documents whose address starts with that one, and messages that come
// while the view shows another address are dropped (a page of another site never
// reaches the program).

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <functional>

class QWebEngineView;
class QWebChannel;
class QWidget;
class QvWebView;

class QvWebViewDelegate
{
public:
    virtual ~QvWebViewDelegate() = default;
    virtual void webViewDidFinishLoad(QvWebView *view, bool ok) { Q_UNUSED(view); Q_UNUSED(ok); }
};

class QvWebView : public QObject
{
    Q_OBJECT
public:
    using CallBack = std::function<void(const QVariant &body)>;
    using CallBacks = QMap<QString, CallBack>;
    using ResultHandler = std::function<void(const QVariant &result)>;

    // The wrapper of placeholder's place: a QWebEngineView takes the placeholder's
    // position, size policy and object name (the placeholder stays, hidden). When
    // placeholder is already a web view it is used as it is. One wrapper per view.
    static QvWebView *instanceWith(QWidget *placeholder, QvWebViewDelegate *delegate = nullptr,
                                   const CallBacks &callBacks = {});

    QWebEngineView *wkWebView() const { return m_view; }

    void setCallBack(const QString &name, CallBack callBack);
    void setDelegate(QvWebViewDelegate *delegate) { m_delegate = delegate; }

    // Only documents below address (scheme, host, port and the start of the path)
    // get the bridge; an empty address lets every document have it.
    void setTrustedAddress(const QUrl &address);
    QUrl trustedAddress() const { return m_trusted; }
    // Whether url lies below address (the same origin, its path starting with
    // address's path).
    static bool isBelow(const QUrl &url, const QUrl &address);

    void loadURL(const QUrl &url);
    void loadFile(const QString &path);
    void loadHTMLString(const QString &html, const QUrl &baseUrl = {});

    void evaluateJavaScript(const QString &script, ResultHandler done = {});
    // Calls the page function name with the arguments, JSON-encoded.
    void callFunction(const QString &name, const QVariantList &arguments, ResultHandler done = {});
    // "name(arg1,arg2,...)" with every argument JSON-encoded.
    static QString scriptCall(const QString &name, const QVariantList &arguments);

signals:
    void loadFinished(bool ok);
    void messageReceived(const QString &name, const QVariant &body);

private:
    explicit QvWebView(QWebEngineView *view);
    void installBridge();
    void installBridgeScript();
    void deliver(const QString &name, const QString &json);

    friend class QvWebBridge;
    QWebEngineView *m_view;
    QWebChannel *m_channel = nullptr;
    QvWebViewDelegate *m_delegate = nullptr;
    CallBacks m_callBacks;
    QUrl m_trusted;
    QString m_token; // what the bridge script sends with every message
};
