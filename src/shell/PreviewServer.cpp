#include "shell/PreviewServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr qsizetype kMaxRequestHead = 16 * 1024;
constexpr qint64 kChunk = 64 * 1024;

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 421: return "Misdirected Request";
    case 431: return "Request Header Fields Too Large";
    default: return "Internal Server Error";
    }
}

bool isInside(const QString &path, const QString &root)
{
    return path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

// The header fields of a request head, by lower-case name (a repeated field keeps its
// first value).
QHash<QByteArray, QByteArray> headerFields(const QByteArray &head)
{
    QHash<QByteArray, QByteArray> fields;
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        if (!fields.contains(name))
            fields.insert(name, line.mid(colon + 1).trimmed());
    }
    return fields;
}

// Sent with every answer: no other site may embed what the server gives, nor have it
// read as another type than the one stated.
const QByteArray kGuardHeaders = "Cross-Origin-Resource-Policy: same-origin\r\n"
                                 "X-Content-Type-Options: nosniff\r\n"
                                 "Cache-Control: no-cache\r\nConnection: close\r\n";

// A file's version as the server names it: its size and times of change. A rebuild
// that keeps a file keeps them; one that writes it changes them.
QByteArray entityTag(const QFileInfo &info)
{
    return '"' + QByteArray::number(info.size(), 16) + '-'
           + QByteArray::number(info.lastModified().toMSecsSinceEpoch(), 16) + '-'
           + QByteArray::number(info.metadataChangeTime().toMSecsSinceEpoch(), 16) + '"';
}

} // namespace

struct PreviewServer::Connection
{
    QByteArray head;
    QFile *file = nullptr;
    bool answered = false;
};

PreviewServer::PreviewServer(QObject *parent)
    : QObject(parent)
{
}

PreviewServer::~PreviewServer()
{
    stop();
}

bool PreviewServer::start(quint16 port)
{
    stop();
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &PreviewServer::onNewConnection);
    if (!m_server->listen(QHostAddress::LocalHost, port)) {
        m_error = m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return false;
    }
    // 128 bits from the system's generator: not to be guessed by a page that probes ports.
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    m_secret = QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex();
    m_error.clear();
    return true;
}

void PreviewServer::stop()
{
    const QList<QTcpSocket *> sockets = m_connections.keys();
    for (QTcpSocket *socket : sockets) {
        Connection *c = m_connections.take(socket);
        delete c->file;
        delete c;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

bool PreviewServer::isListening() const
{
    return m_server && m_server->isListening();
}

quint16 PreviewServer::port() const
{
    return isListening() ? m_server->serverPort() : 0;
}

void PreviewServer::addFolder(const QString &name, const QString &folder)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')) || folder.isEmpty())
        return;
    m_folders.insert('/' + QUrl::toPercentEncoding(name), QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

void PreviewServer::setDocumentRoot(const QString &folder)
{
    m_root = folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QUrl PreviewServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/%2/").arg(port()).arg(QString::fromLatin1(m_secret)));
}

QString PreviewServer::mimeTypeForFile(const QString &fileName)
{
    static const QHash<QString, QString> types = {
        {QStringLiteral("html"), QStringLiteral("text/html; charset=utf-8")},
        {QStringLiteral("htm"), QStringLiteral("text/html; charset=utf-8")},
        {QStringLiteral("js"), QStringLiteral("text/javascript; charset=utf-8")},
        {QStringLiteral("mjs"), QStringLiteral("text/javascript; charset=utf-8")},
        {QStringLiteral("css"), QStringLiteral("text/css; charset=utf-8")},
        {QStringLiteral("json"), QStringLiteral("application/json")},
        {QStringLiteral("xml"), QStringLiteral("application/xml")},
        {QStringLiteral("txt"), QStringLiteral("text/plain; charset=utf-8")},
        {QStringLiteral("jpg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("jpeg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("png"), QStringLiteral("image/png")},
        {QStringLiteral("gif"), QStringLiteral("image/gif")},
        {QStringLiteral("webp"), QStringLiteral("image/webp")},
        {QStringLiteral("svg"), QStringLiteral("image/svg+xml")},
        {QStringLiteral("ico"), QStringLiteral("image/x-icon")},
        {QStringLiteral("mp3"), QStringLiteral("audio/mpeg")},
        {QStringLiteral("mp4"), QStringLiteral("video/mp4")},
        {QStringLiteral("pdf"), QStringLiteral("application/pdf")},
        {QStringLiteral("swf"), QStringLiteral("application/x-shockwave-flash")},
        {QStringLiteral("wasm"), QStringLiteral("application/wasm")}, // the SWF player compiles it as it arrives
        {QStringLiteral("woff"), QStringLiteral("font/woff")},
        {QStringLiteral("woff2"), QStringLiteral("font/woff2")},
        {QStringLiteral("zip"), QStringLiteral("application/zip")},
    };
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const auto known = types.constFind(suffix);
    if (known != types.constEnd())
        return *known;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    return type.isDefault() ? QStringLiteral("application/octet-stream") : type.name();
}

QString PreviewServer::resolveRequestPath(const QString &root, const QString &requestPath)
{
    if (root.isEmpty() || !requestPath.startsWith(QLatin1Char('/')))
        return {};
    const QString decoded = QUrl::fromPercentEncoding(requestPath.toUtf8());
    if (decoded.contains(QChar(0)) || decoded.contains(QLatin1Char('\\')))
        return {};
    QStringList parts;
    for (const QString &part : decoded.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return {};
        parts << part;
    }
    const QString cleanRoot = QDir::cleanPath(root);
    QString path = parts.isEmpty() ? cleanRoot : cleanRoot + QLatin1Char('/') + parts.join(QLatin1Char('/'));
    if (QFileInfo(path).isDir())
        path += QStringLiteral("/index.html");

    // Links inside the root may not lead out of it.
    const QString canonicalRoot = QFileInfo(cleanRoot).canonicalFilePath();
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        const QString canonical = info.canonicalFilePath();
        if (canonicalRoot.isEmpty() || canonical.isEmpty() || !isInside(canonical, canonicalRoot))
            return {};
    }
    return path;
}

void PreviewServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_connections.insert(socket, new Connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { sendMore(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { finish(socket); });
    }
}

void PreviewServer::onReadyRead(QTcpSocket *socket)
{
    Connection *c = m_connections.value(socket);
    if (!c || c->answered)
        return;
    c->head += socket->readAll();
    const qsizetype end = c->head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (c->head.size() > kMaxRequestHead)
            sendError(socket, 431);
        return;
    }
    const QByteArray requestLine = c->head.left(c->head.indexOf("\r\n"));
    const QList<QByteArray> words = requestLine.split(' ');
    if (words.size() != 3 || !words.at(2).startsWith("HTTP/1.")) {
        sendError(socket, 400);
        return;
    }
    respond(socket, words.at(0), words.at(1), headerFields(c->head.left(end)));
}

int PreviewServer::refusalFor(const QHash<QByteArray, QByteArray> &headers) const
{
    const QByteArray origin = "127.0.0.1:" + QByteArray::number(port());
    if (headers.value("host") != origin)
        return 421;
    // Browsers say where a request comes from; only the book's own pages and the
    // address typed or opened by the program ("none") are answered.
    const QByteArray site = headers.value("sec-fetch-site").toLower();
    if (!site.isEmpty() && site != "same-origin" && site != "none")
        return 403;
    if (headers.contains("origin") && headers.value("origin") != "http://" + origin)
        return 403;
    return 0;
}

void PreviewServer::respond(QTcpSocket *socket, const QByteArray &method, const QByteArray &target,
                            const QHash<QByteArray, QByteArray> &headers)
{
    Connection *c = m_connections.value(socket);
    c->answered = true;
    ++m_requests;
    if (const int refusal = refusalFor(headers)) {
        sendError(socket, refusal);
        return;
    }
    if (method != "GET" && method != "HEAD") {
        sendError(socket, 405, "Allow: GET, HEAD\r\n");
        return;
    }
    QByteArray path = target;
    const qsizetype cut = path.indexOf('?') >= 0 ? path.indexOf('?') : path.indexOf('#');
    if (cut >= 0)
        path.truncate(cut);
    // The secret comes first, as written (never decoded: it is plain hexadecimal).
    const QByteArray prefix = '/' + m_secret;
    if (m_secret.isEmpty() || !path.startsWith(prefix) || (path.size() > prefix.size() && path.at(prefix.size()) != '/')) {
        sendError(socket, 404);
        return;
    }
    path = path.mid(prefix.size());
    if (path.isEmpty())
        path = "/";
    QString root = m_root;
    const QByteArray first = path.left(path.indexOf('/', 1));
    if (m_folders.contains(first) && path.size() > first.size()) {
        root = m_folders.value(first);
        path = path.mid(first.size());
    }
    const QString file = resolveRequestPath(root, QString::fromLatin1(path));
    if (file.isEmpty()) {
        sendError(socket, root.isEmpty() ? 404 : 403);
        return;
    }
    auto *f = new QFile(file);
    if (!QFileInfo(file).isFile() || !f->open(QIODevice::ReadOnly)) {
        delete f;
        sendError(socket, 404);
        return;
    }
    // The view may keep a file, but asks again every time it uses it: a rebuild
    // changes a few files, and the view then reloads only those.
    const QByteArray tag = entityTag(QFileInfo(file));
    if (headers.value("if-none-match") == tag) {
        delete f;
        socket->write("HTTP/1.1 304 Not Modified\r\nETag: " + tag + "\r\n" + kGuardHeaders + "\r\n");
        socket->disconnectFromHost();
        return;
    }
    QByteArray head = "HTTP/1.1 200 OK\r\n";
    head += "Content-Type: " + mimeTypeForFile(file).toLatin1() + "\r\n";
    head += "Content-Length: " + QByteArray::number(f->size()) + "\r\n";
    head += "ETag: " + tag + "\r\n";
    head += kGuardHeaders + "\r\n";
    socket->write(head);
    if (method == "HEAD") {
        delete f;
        socket->disconnectFromHost();
        return;
    }
    c->file = f;
    sendMore(socket);
}

void PreviewServer::sendError(QTcpSocket *socket, int status, const QByteArray &extraHeaders)
{
    if (Connection *c = m_connections.value(socket))
        c->answered = true;
    const QByteArray body = QByteArray::number(status) + ' ' + reason(status) + '\n';
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    head += "Content-Type: text/plain; charset=utf-8\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    head += extraHeaders;
    head += kGuardHeaders + "\r\n";
    socket->write(head + body);
    socket->disconnectFromHost();
}

void PreviewServer::sendMore(QTcpSocket *socket)
{
    Connection *c = m_connections.value(socket);
    if (!c || !c->file || socket->bytesToWrite() > kChunk)
        return;
    const QByteArray chunk = c->file->read(kChunk);
    if (!chunk.isEmpty())
        socket->write(chunk);
    if (c->file->atEnd() || chunk.isEmpty()) {
        delete c->file;
        c->file = nullptr;
        socket->disconnectFromHost();
    }
}

void PreviewServer::finish(QTcpSocket *socket)
{
    if (Connection *c = m_connections.take(socket)) {
        delete c->file;
        delete c;
    }
    socket->deleteLater();
}
