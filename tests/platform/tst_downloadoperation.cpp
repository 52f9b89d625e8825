#include "TestFiles.h"
#include "TestSupport.h"
#include "platform/DownloadOperation.h"
#include "platform/NotificationCenter.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace TestFiles;

namespace {

// Answers one request on 127.0.0.1 with head (status line and headers) and the first
// part of the body, then sends more only when told; the connection stays open.
class AnswerServer : public QObject
{
public:
    AnswerServer(const QByteArray &head, const QByteArray &firstPart) : m_head(head), m_firstPart(firstPart)
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_socket = m_server.nextPendingConnection();
            connect(m_socket, &QTcpSocket::disconnected, this, [this] { dropped = true; });
            connect(m_socket, &QTcpSocket::readyRead, this, [this] {
                m_request += m_socket->readAll();
                if (!answered && m_request.contains("\r\n\r\n")) {
                    answered = true;
                    m_socket->write(m_head + m_firstPart);
                }
            });
        });
    }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    void send(const QByteArray &more) { m_socket->write(more); }

    bool answered = false;
    bool dropped = false; // the client closed the connection

private:
    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
    QByteArray m_head, m_firstPart, m_request;
};

// A download of url, started at once, with the status and message of the last
// notification it posted.
struct Download
{
    explicit Download(const QUrl &url) : operation(url, QStringLiteral("btnStyle1"), 1)
    {
        NotificationCenter::defaultCenter()->addObserver(&context, TemplateDownloadNotification, &operation,
                                                         [this](const Notification &n) {
                                                             status = n.userInfo.value("status").toInt();
                                                             message = n.userInfo.value("msg").toString();
                                                         });
        operation.start(&manager);
    }

    QNetworkAccessManager manager;
    QObject context;
    DownloadOperation operation;
    int status = -1;
    QString message;
};

// The bytes of the files open in this process that lie in folder (a temporary file may
// have no name there yet).
qint64 bytesOpenIn(const QString &folder)
{
    qint64 bytes = 0;
    for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget().startsWith(folder + "/"))
            bytes += QFileInfo(fd.filePath()).size();
    return bytes;
}

} // namespace

// Gallery downloads against a server on 127.0.0.1: an answer too large for the limit is
// refused before its body is read, and an answer is written to disk as it comes.
class DownloadOperationTest : public QObject
{
    Q_OBJECT
private slots:
    void aDeclaredLengthAboveTheLimitIsRefusedBeforeTheBody()
    {
        const qint64 declared = 600ll << 20;
        QVERIFY(declared > DownloadOperation::maxBytes());
        AnswerServer server("HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nContent-Length: "
                                + QByteArray::number(declared) + "\r\n\r\n",
                            QByteArray(64 * 1024, 'x'));
        Download download(server.url("/scenes/Big.scp"));

        // Refused at the head: the server never has to send more than it began with.
        QTRY_COMPARE_WITH_TIMEOUT(download.status, int(DownloadOperation::Failed), 10000);
        QCOMPARE(download.message, QString("The file is too large."));
        QTRY_VERIFY(server.dropped);
        QVERIFY(download.operation.isFinished());
        QVERIFY(!QFileInfo::exists(QFileInfo(download.operation.saveFile()).absolutePath()));
    }

    void anAnswerIsWrittenToDiskAsItComesAndNamedWhenWhole()
    {
        QByteArray body(3 << 20, Qt::Uninitialized);
        for (qsizetype i = 0; i < body.size(); ++i)
            body[i] = char(i * 7 % 251);
        const qsizetype first = 1 << 20;
        AnswerServer server("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: "
                                + QByteArray::number(body.size()) + "\r\n\r\n",
                            body.left(first));
        Download download(server.url("/backgrounds/sky.png"));

        // The first part lies on disk in a temporary file, and nothing has the saved
        // file's name yet: nothing reads half a picture.
        const QString folder = QFileInfo(download.operation.saveFile()).absolutePath();
        QTRY_COMPARE_WITH_TIMEOUT(bytesOpenIn(folder), qint64(first), 10000);
        QVERIFY(!QFileInfo::exists(download.operation.saveFile()));

        server.send(body.mid(first));
        QTRY_COMPARE_WITH_TIMEOUT(download.status, int(DownloadOperation::Finished), 10000);
        QCOMPARE(readFile(download.operation.saveFile()), body);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"sky.png"});
    }
};

QV_TEST(DownloadOperationTest)
#include "tst_downloadoperation.moc"
