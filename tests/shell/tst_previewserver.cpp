#include "TestFiles.h"
#include "TestSupport.h"
#include "shell/PreviewAddress.h"
#include "shell/PreviewServer.h"

#include <QSaveFile>
#include <QTcpSocket>
#include <QtTest>

using TestFiles::writeFile;

namespace {

struct Reply
{
    int status = 0;
    QMap<QByteArray, QByteArray> headers; // lower-case names
    QByteArray body;
};

// Sends raw bytes (so paths reach the server exactly as written) and reads the answer
// until the server closes the connection.
Reply request(quint16 port, const QByteArray &raw)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    QByteArray data;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { data += socket.readAll(); });
    if (!QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000))
        return {};
    socket.write(raw);
    QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 10000);
    data += socket.readAll();
    Reply reply;
    const qsizetype end = data.indexOf("\r\n\r\n");
    const QList<QByteArray> lines = data.left(end).split('\n');
    reply.status = lines.value(0).split(' ').value(1).toInt();
    for (const QByteArray &line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        reply.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    reply.body = end < 0 ? QByteArray() : data.mid(end + 4);
    return reply;
}

// A request for path below the server's base address, as the preview's own pages
// make it (extra header lines may be added).
Reply get(const PreviewServer &server, const QByteArray &path, const QByteArray &method = "GET",
          const QByteArray &headers = {})
{
    const QByteArray base = server.baseUrl().path().toLatin1();
    return request(server.port(), method + ' ' + base.chopped(1) + path + " HTTP/1.1\r\nHost: 127.0.0.1:"
                                      + QByteArray::number(server.port()) + "\r\n" + headers + "\r\n");
}

} // namespace

class PreviewServerTest : public QObject
{
    Q_OBJECT
private slots:
    void servesTheFolderOnly()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + "/preview";
        writeFile(root + "/index.html", "<html>book</html>");
        writeFile(root + "/files/config.js", "var bookConfig = {};");
        writeFile(root + "/files/page/my page.jpg", "JPEGDATA");
        writeFile(root + "/mobile/index.html", "<html>phone</html>");
        writeFile(dir.path() + "/secret.txt", "secret");
        writeFile(dir.path() + "/player/ruffle.js", "// player");
        QVERIFY(QFile::link(dir.path() + "/secret.txt", root + "/files/link.txt"));

        PreviewServer server;
        server.setDocumentRoot(root);
        server.addFolder("player", dir.path() + "/player");
        QVERIFY(server.start());
        QCOMPARE(server.baseUrl().host(), QStringLiteral("127.0.0.1"));
        const quint16 port = server.port();

        Reply r = get(server, "/?r=3");
        QCOMPARE(r.status, 200);
        QCOMPARE(r.body, QByteArray("<html>book</html>"));
        QCOMPARE(r.headers.value("content-type"), QByteArray("text/html; charset=utf-8"));
        QCOMPARE(r.headers.value("cache-control"), QByteArray("no-cache"));
        QCOMPARE(get(server, "/mobile/").body, QByteArray("<html>phone</html>"));

        // A file asked for again: without its bytes while it is the same, whole once a
        // rebuild has written it anew.
        const QByteArray tag = get(server, "/files/config.js").headers.value("etag");
        QVERIFY(!tag.isEmpty());
        const QByteArray again = "If-None-Match: " + tag + "\r\n";
        r = get(server, "/files/config.js", "GET", again);
        QCOMPARE(r.status, 304);
        QVERIFY(r.body.isEmpty());
        QTest::qWait(5);
        QSaveFile rewritten(root + "/files/config.js");
        QVERIFY(rewritten.open(QIODevice::WriteOnly) && rewritten.write("var bookConfig = {a:1};") > 0 && rewritten.commit());
        r = get(server, "/files/config.js", "GET", again);
        QCOMPARE(r.status, 200);
        QCOMPARE(r.body, QByteArray("var bookConfig = {a:1};"));
        r = get(server, "/files/config.js");
        QCOMPARE(r.headers.value("content-type"), QByteArray("text/javascript; charset=utf-8"));
        r = get(server, "/files/page/my%20page.jpg");
        QCOMPARE(r.status, 200);
        QCOMPARE(r.headers.value("content-type"), QByteArray("image/jpeg"));
        QCOMPARE(r.body, QByteArray("JPEGDATA"));

        r = get(server, "/files/page/my%20page.jpg", "HEAD");
        QCOMPARE(r.status, 200);
        QCOMPARE(r.headers.value("content-length"), QByteArray("8"));
        QVERIFY(r.body.isEmpty());

        QCOMPARE(get(server, "/missing.js").status, 404);
        QCOMPARE(get(server, "/files/page/my%20page.jpg", "POST").status, 405);
        QCOMPARE(request(port, "NONSENSE\r\n\r\n").status, 400);

        // Nothing without the secret at the start of the path.
        QCOMPARE(request(port, "GET /files/config.js HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port)
                                   + "\r\n\r\n").status,
                 404);

        // Nothing outside the folder, however the path is written.
        QCOMPARE(get(server, "/player/ruffle.js").body, QByteArray("// player"));
        for (const QByteArray &escape : {QByteArray("/player/../secret.txt"), QByteArray("/player/%2e%2e/secret.txt"),
                                         QByteArray("/../secret.txt"), QByteArray("/files/../../secret.txt"),
                                         QByteArray("/%2e%2e/secret.txt"), QByteArray("/files/%2E%2E%2F..%2Fsecret.txt"),
                                         QByteArray("/..%5csecret.txt"), QByteArray("/files/link.txt")}) {
            r = get(server, escape);
            QVERIFY2(r.status == 403 || r.status == 404, escape.constData());
            QVERIFY2(!r.body.contains("secret"), escape.constData());
        }
        QCOMPARE(PreviewServer::resolveRequestPath(root, "/files/./config.js"), root + "/files/config.js");
    }

    void sendsLargeFilesWhole()
    {
        QTemporaryDir dir;
        QByteArray big(3 * 1024 * 1024 + 17, '\0');
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i * 7 % 251);
        writeFile(dir.path() + "/files/download/book.pdf", big);
        PreviewServer server;
        server.setDocumentRoot(dir.path());
        QVERIFY(server.start());
        const Reply r = get(server, "/files/download/book.pdf");
        QCOMPARE(r.status, 200);
        QCOMPARE(r.headers.value("content-type"), QByteArray("application/pdf"));
        QCOMPARE(r.body.size(), big.size());
        QVERIFY(r.body == big);
    }

    // A page of another site in a browser on this machine reaches 127.0.0.1 too: it
    // must not get the book's files, through a script tag, a fetch or a name of its
    // own that points at 127.0.0.1.
    void otherSitesGetNothing()
    {
        QTemporaryDir dir;
        writeFile(dir.path() + "/files/search.js", "var bookSearch = [\"private words\"];");
        PreviewServer server;
        server.setDocumentRoot(dir.path());
        QVERIFY(server.start());
        const QByteArray self = "http://127.0.0.1:" + QByteArray::number(server.port());

        // The book's own requests, as the web view makes them.
        for (const QByteArray &headers : {QByteArray("Sec-Fetch-Site: none\r\n"),
                                          QByteArray("Sec-Fetch-Site: same-origin\r\nOrigin: " + self + "\r\n")}) {
            const Reply r = get(server, "/files/search.js", "GET", headers);
            QCOMPARE(r.status, 200);
            QVERIFY(r.body.contains("private words"));
            QCOMPARE(r.headers.value("cross-origin-resource-policy"), QByteArray("same-origin"));
            QCOMPARE(r.headers.value("x-content-type-options"), QByteArray("nosniff"));
        }

        struct Probe
        {
            const char *what;
            QByteArray raw; // the request after the path
            int status;
        };
        const QByteArray path = server.baseUrl().path().toLatin1() + "files/search.js";
        const QByteArray host = "Host: 127.0.0.1:" + QByteArray::number(server.port()) + "\r\n";
        const QList<Probe> probes{
            {"script tag of another site", host + "Sec-Fetch-Site: cross-site\r\nSec-Fetch-Dest: script\r\n", 403},
            {"another port of this machine", host + "Sec-Fetch-Site: same-site\r\n", 403},
            {"fetch with a foreign origin", host + "Origin: http://evil.example\r\n", 403},
            {"opaque origin", host + "Origin: null\r\n", 403},
            {"rebound name", "Host: evil.example:" + QByteArray::number(server.port()) + "\r\n", 421},
            {"localhost by name", "Host: localhost:" + QByteArray::number(server.port()) + "\r\n", 421},
            {"no host", QByteArray(), 421},
        };
        for (const Probe &probe : probes) {
            const Reply r = request(server.port(), "GET " + path + " HTTP/1.1\r\n" + probe.raw + "\r\n");
            QVERIFY2(r.status == probe.status, probe.what);
            QVERIFY2(!r.body.contains("private words"), probe.what);
            QCOMPARE(r.headers.value("cross-origin-resource-policy"), QByteArray("same-origin"));
        }

        // A wrong secret is as good as none, and every start makes a new one.
        QByteArray guessed = server.baseUrl().path().toLatin1();
        guessed[1] = guessed[1] == 'a' ? 'b' : 'a';
        QCOMPARE(request(server.port(), "GET " + guessed + "files/search.js HTTP/1.1\r\n" + host + "\r\n").status, 404);
        const QString before = server.baseUrl().path();
        QVERIFY(server.start());
        QVERIFY(server.baseUrl().path() != before);
        QVERIFY(server.baseUrl().path().size() >= 32);
    }

    void addressesFollowThePage()
    {
        const QUrl base(QStringLiteral("http://127.0.0.1:4321/s3cr3t/"));
        const QUrl desktop = PreviewAddress::bookUrl(base, false, 7, 5);
        QCOMPARE(desktop.toString(), QStringLiteral("http://127.0.0.1:4321/s3cr3t/?r=7#p=5"));
        QCOMPARE(PreviewAddress::bookUrl(base, true, 8, 0).toString(),
                 QStringLiteral("http://127.0.0.1:4321/s3cr3t/mobile/index.html?r=8"));
        QVERIFY(!PreviewAddress::isMobileUrl(desktop));
        QVERIFY(PreviewAddress::isMobileUrl(PreviewAddress::bookUrl(base, true, 8, 0)));
        QCOMPARE(PreviewAddress::pageFromUrl(desktop), 5);
        QCOMPARE(PreviewAddress::pageFromUrl(QUrl(QStringLiteral("http://x/#a=1&p=12"))), 12);
        QCOMPARE(PreviewAddress::pageFromUrl(QUrl(QStringLiteral("http://x/#top=3"))), 0);
        QCOMPARE(PreviewAddress::pageFromUrl(QUrl(QStringLiteral("http://x/"))), 0);
    }
};

QV_TEST(PreviewServerTest)
#include "tst_previewserver.moc"
