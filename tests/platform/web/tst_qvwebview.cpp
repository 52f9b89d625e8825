#include "TestSupport.h"
#include "platform/ui/QvWebView.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <QtTest>

namespace {
const char *const Page = R"HTML(<!DOCTYPE html>
<html><body>
<script>
  window.webkit.messageHandlers.connector.postMessage({cmd: "ready", page: 3, list: [1, "two"]});
  qvCallBack("jsPrint", "loaded");
  function echo(value) { window.webkit.messageHandlers.echo.postMessage(value); return typeof value; }
</script>
</body></html>)HTML";
} // namespace

class QvWebViewTest : public QObject
{
    Q_OBJECT
private slots:
    void replacesPlaceholderAndBridgesScript()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("above")));
        auto *placeholder = new QWidget;
        placeholder->setObjectName(QStringLiteral("webView"));
        layout->addWidget(placeholder);
        layout->addWidget(new QLabel(QStringLiteral("below")));
        window.resize(400, 300);

        QList<QVariant> connector;
        QStringList printed;
        QList<QVariant> echoed;
        QvWebView *web = QvWebView::instanceWith(
            placeholder, nullptr,
            {{QStringLiteral("connector"), [&](const QVariant &v) { connector << v; }},
             {QStringLiteral("jsPrint"), [&](const QVariant &v) { printed << v.toString(); }},
             {QStringLiteral("echo"), [&](const QVariant &v) { echoed << v; }}});
        QVERIFY(web->wkWebView());
        QCOMPARE(layout->indexOf(web->wkWebView()), 1);
        QCOMPARE(web->wkWebView()->objectName(), QStringLiteral("webView"));
        QVERIFY(placeholder->isHidden());
        window.show();

        QSignalSpy loaded(web, &QvWebView::loadFinished);
        web->loadHTMLString(QString::fromUtf8(Page), QUrl(QStringLiteral("http://localhost/")));
        QTRY_COMPARE_WITH_TIMEOUT(connector.size(), 1, 20000);
        const QVariantMap ready = connector.first().toMap();
        QCOMPARE(ready.value("cmd").toString(), QStringLiteral("ready"));
        QCOMPARE(ready.value("page").toInt(), 3);
        QCOMPARE(ready.value("list").toList(), (QVariantList{1, QStringLiteral("two")}));
        QTRY_COMPARE(printed, QStringList{"loaded"});
        QTRY_COMPARE(loaded.count(), 1);

        // Every argument reaches the page as the value it was, quotes and all.
        const QString nasty = QStringLiteral("a\"b'c\\d</script>\n\u2028e");
        QVariant result;
        web->callFunction(QStringLiteral("echo"), {nasty}, [&](const QVariant &r) { result = r; });
        QTRY_COMPARE_WITH_TIMEOUT(echoed.size(), 1, 10000);
        QCOMPARE(echoed.first().toString(), nasty);
        QTRY_COMPARE(result.toString(), QStringLiteral("string"));

        QVariant sum;
        web->evaluateJavaScript(QStringLiteral("1 + 2"), [&](const QVariant &r) { sum = r; });
        QTRY_COMPARE(sum.toInt(), 3);
    }
};

QV_TEST(QvWebViewTest)
#include "tst_qvwebview.moc"
