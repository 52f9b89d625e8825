#pragma once
// Downloads one file from a web address (http or https only) into a new folder of its
// own below the per-user download folder, and reports through
// TemplateDownloadNotification (object: the operation) with the user information
//   "id"        the operation's identifier
//   "fileType"  the file type it was given
//   "fileName"  the saved file
//   "status"    0 progress, 1 finished, 2 failed
//   "percent"   0 to 100
//   "msg"       why it failed
// The saved file's name is the last part of the address's path, reduced to letters,
// digits, ".", "-", "_" and blanks ("download" when nothing is left). The answer is
// written to a temporary file as it comes (a little of it held in memory at a time)
// and takes that name when complete. A download larger than maxBytes() (refused
// before its body is read when the server declares its length), a failed request or
// an answer other than 2xx fails and leaves no file. Runs on the thread that started
// it (the main thread), without blocking it.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QSaveFile;
class QNetworkAccessManager;
class QNetworkReply;

inline const QString TemplateDownloadNotification = QStringLiteral("TemplateDownloadNotification");

class DownloadOperation : public QObject
{
    Q_OBJECT
public:
    enum Status { Progress = 0, Finished = 1, Failed = 2 };

    DownloadOperation(const QUrl &fileUrl, const QString &identifier, int fileType, QObject *parent = nullptr);
    ~DownloadOperation() override;

    QUrl fileUrl() const { return m_url; }
    QString identifier() const { return m_identifier; }
    int fileType() const { return m_fileType; }
    // Where the file is (being) saved.
    QString saveFile() const { return m_saveFile; }
    // False: post no notifications (a cancelled download).
    void setIsMSG(bool on) { m_isMSG = on; }
    bool isFinished() const { return m_finished; }

    // Starts the download; network requests go through manager.
    void start(QNetworkAccessManager *manager);
    // Stops it and removes what was written.
    void cancel();

    // Finished downloads kept for a later request of the same address in the same
    // version: a folder per address in the download folder's "kept", holding the file
    // and its version (".version"). keptDownload() gives the file kept for url in
    // version, or "" when there is none (an empty version is never kept).
    static QString keptDownload(const QUrl &url, const QString &version);
    // Moves file there as url's download in version, replacing an older one.
    static bool keepDownload(const QString &file, const QUrl &url, const QString &version);

    static bool isDownloadable(const QUrl &url); // http or https with a host
    static QString sanitizedFileName(const QUrl &url);
    static QString downloadFolder();
    static qint64 maxBytes() { return 256ll << 20; }

signals:
    void finished();

private:
    static constexpr qint64 kReadBufferBytes = 1 << 20;

    void onMetaData();
    void onReadyRead();
    void onFinished();
    void fail(const QString &message);
    void post(Status status, int percent, const QString &message = QString());
    void end();

    QUrl m_url;
    QString m_identifier;
    int m_fileType = 0;
    QString m_folder;
    QString m_saveFile;
    QSaveFile *m_file = nullptr;
    QPointer<QNetworkReply> m_reply;
    qint64 m_received = 0;
    int m_lastPercent = -1;
    bool m_isMSG = true;
    bool m_finished = false;
};
