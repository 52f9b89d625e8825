#pragma once
// The local HTTP server that shows the preview book to the main window's web view:
// GET and HEAD of the files below one folder (the document root), on 127.0.0.1 only.
//
// Other programs and web pages on this machine can reach 127.0.0.1 too, so the book
// is served only to whoever was given its address:
// - every path starts with a secret made afresh each time the server starts
//   ("/<secret>/..."); anything else is not found (404);
// - the Host header must be "127.0.0.1:<port>", which shuts out pages that reach the
//   server through a name of their own (DNS rebinding) (421);
// - a request another site makes (Sec-Fetch-Site "cross-site" or "same-site", or an
//   Origin other than the server's own) is refused (403);
// - answers say "Cross-Origin-Resource-Policy: same-origin" and
//   "X-Content-Type-Options: nosniff", so a foreign page cannot take a book file in
//   as a script or style either.
//
// Below the secret, "/" and every folder answer their "index.html"; another folder may
// be served under a name of its own (addFolder()), with the same checks. Paths are
// percent-decoded and must stay inside the root: ".." parts and links that lead out
// of it are refused (403), so nothing else on the disk can be read through the
// server. Answers carry the file's MIME type, an ETag naming the file's version and
// "Cache-Control: no-cache": the same addresses show a new book after every rebuild,
// so the view asks again each time, and a file the rebuild kept is answered "304 Not
// Modified" without its bytes. Each connection serves one request and is closed.
//
// Runs on the thread that created it (the main thread); files are sent in pieces as
// the socket takes them, so a large file never holds up the window.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

class PreviewServer : public QObject
{
    Q_OBJECT
public:
    explicit PreviewServer(QObject *parent = nullptr);
    ~PreviewServer() override;

    // Listens on 127.0.0.1 (port 0: any free port). False with errorString() when it cannot.
    bool start(quint16 port = 0);
    void stop();
    bool isListening() const;
    quint16 port() const;
    QString errorString() const { return m_error; }

    QString documentRoot() const { return m_root; }
    void setDocumentRoot(const QString &folder);
    // Answers the paths below "<secret>/<name>/" from folder instead of the document
    // root (the SWF player served from the resources without a copy beside the page).
    // A name holding "/" or starting with "." is ignored.
    void addFolder(const QString &name, const QString &folder);

    // "http://127.0.0.1:<port>/<secret>/": the book's address; every file lies below it.
    QUrl baseUrl() const;

    // The MIME type answered for a file name (by its extension).
    static QString mimeTypeForFile(const QString &fileName);
    // The file a request path names below root, or an empty string when it leads out
    // of root (the check the server makes before it opens anything).
    static QString resolveRequestPath(const QString &root, const QString &requestPath);

    // Requests answered so far (for tests and the debug log).
    int requestCount() const { return m_requests; }

private:
    struct Connection;
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const QByteArray &method, const QByteArray &target,
                 const QHash<QByteArray, QByteArray> &headers);
    // The status a request is refused with for where it comes from, 0 when it may be answered.
    int refusalFor(const QHash<QByteArray, QByteArray> &headers) const;
    void sendError(QTcpSocket *socket, int status, const QByteArray &extraHeaders = {});
    void sendMore(QTcpSocket *socket);
    void finish(QTcpSocket *socket);

    QTcpServer *m_server = nullptr;
    QString m_root;
    QHash<QByteArray, QString> m_folders; // "/<name>" -> folder
    QByteArray m_secret;
    QString m_error;
    int m_requests = 0;
    QHash<QTcpSocket *, Connection *> m_connections;
};
