#include "platform/DownloadOperation.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "platform/NotificationCenter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUuid>

DownloadOperation::DownloadOperation(const QUrl &fileUrl, const QString &identifier, int fileType, QObject *parent)
    : QObject(parent), m_url(fileUrl), m_identifier(identifier), m_fileType(fileType)
{
    m_folder = QDir(downloadFolder()).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
    m_saveFile = QDir(m_folder).filePath(sanitizedFileName(fileUrl));
}

DownloadOperation::~DownloadOperation()
{
    if (!m_finished) {
        m_isMSG = false;
        cancel();
    }
}

bool DownloadOperation::isDownloadable(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

QString DownloadOperation::sanitizedFileName(const QUrl &url)
{
    QString name;
    for (const QChar c : url.fileName(QUrl::FullyDecoded))
        name += c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('_')
                        || c == QLatin1Char(' ')
                    ? c
                    : QLatin1Char('_');
    name = name.trimmed().left(120);
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("download") : name;
}

QString DownloadOperation::downloadFolder()
{
    return AppUtility::userAppExtraDataPath(QStringLiteral("Download"));
}

namespace {

QString keptFolder(const QUrl &url)
{
    const QByteArray key = QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Sha256).toHex().left(32);
    return QDir(DownloadOperation::downloadFolder()).filePath(QStringLiteral("kept/") + QString::fromLatin1(key));
}

const QString kVersionFile = QStringLiteral(".version");

} // namespace

QString DownloadOperation::keptDownload(const QUrl &url, const QString &version)
{
    if (version.isEmpty())
        return {};
    const QDir folder(keptFolder(url));
    QFile stored(folder.filePath(kVersionFile));
    if (!stored.open(QIODevice::ReadOnly) || QString::fromUtf8(stored.read(4096)) != version)
        return {};
    const QString file = folder.filePath(sanitizedFileName(url));
    const QFileInfo info(file);
    return info.isFile() && !info.isSymLink() ? file : QString();
}

bool DownloadOperation::keepDownload(const QString &file, const QUrl &url, const QString &version)
{
    if (version.isEmpty() || !QFileInfo(file).isFile())
        return false;
    const QString folder = keptFolder(url);
    removeTree(folder);
    if (!QDir().mkpath(folder))
        return false;
    const QString target = QDir(folder).filePath(sanitizedFileName(url));
    QSaveFile stored(QDir(folder).filePath(kVersionFile));
    // The version is written last: a file without it is never taken.
    if ((!QFile::rename(file, target) && !SafeFiles::copyFile(file, target)) || !stored.open(QIODevice::WriteOnly)
        || stored.write(version.toUtf8()) < 0 || !stored.commit()) {
        removeTree(folder);
        return false;
    }
    return true;
}

void DownloadOperation::start(QNetworkAccessManager *manager)
{
    if (!isDownloadable(m_url)) {
        fail(loadAppString("DownloadOperation-Only web addresses (http, https) can be downloaded.",
                           "Only web addresses (http, https) can be downloaded."));
        return;
    }
    // The answer goes into a temporary file beside the saved one, which takes its name
    // only when it is complete.
    m_file = new QSaveFile(m_saveFile, this);
    if (!QDir().mkpath(m_folder) || !m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail(loadAppString("DownloadOperation-The file cannot be saved.", "The file cannot be saved."));
        return;
    }
    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(30000);
    m_reply = manager->get(request);
    // What has come and is not written yet stays small: the network waits for the file.
    m_reply->setReadBufferSize(kReadBufferBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &DownloadOperation::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &DownloadOperation::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &DownloadOperation::onFinished);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        const int percent = total > 0 ? int(qBound(qint64(0), received * 100 / total, qint64(99))) : 0;
        if (percent != m_lastPercent) {
            m_lastPercent = percent;
            post(Progress, percent);
        }
    });
    post(Progress, 0);
}

void DownloadOperation::onMetaData()
{
    if (!m_reply || m_finished)
        return;
    // A length declared above the limit is refused before any of the body is read.
    bool known = false;
    const qint64 declared = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    if (known && declared > maxBytes())
        fail(loadAppString("DownloadOperation-The file is too large.", "The file is too large."));
}

void DownloadOperation::onReadyRead()
{
    if (!m_reply || !m_reply->isOpen() || !m_file)
        return;
    const QByteArray data = m_reply->readAll();
    m_received += data.size();
    if (m_received > maxBytes()) {
        fail(loadAppString("DownloadOperation-The file is too large.", "The file is too large."));
        return;
    }
    if (m_file->write(data) != data.size())
        fail(loadAppString("DownloadOperation-The file cannot be saved.", "The file cannot be saved."));
}

void DownloadOperation::onFinished()
{
    if (!m_reply || m_finished)
        return;
    onReadyRead();
    if (m_finished)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_reply->error() != QNetworkReply::NoError || status < 200 || status >= 300) {
        fail(m_reply->error() != QNetworkReply::NoError ? m_reply->errorString()
                                                        : loadAppString("DownloadOperation-The server answered %1.",
                                                                        "The server answered %1.")
                                                              .arg(status));
        return;
    }
    if (!m_file->commit()) {
        fail(loadAppString("DownloadOperation-The file cannot be saved.", "The file cannot be saved."));
        return;
    }
    end();
    post(Finished, 100);
    emit finished();
}

void DownloadOperation::cancel()
{
    if (m_finished)
        return;
    end();
    removeTree(m_folder);
    emit finished();
}

void DownloadOperation::fail(const QString &message)
{
    if (m_finished)
        return;
    end();
    removeTree(m_folder);
    post(Failed, 0, message);
    emit finished();
}

void DownloadOperation::end()
{
    m_finished = true;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    if (m_file && m_file->isOpen())
        m_file->cancelWriting(); // not committed: the temporary file goes
}

void DownloadOperation::post(Status status, int percent, const QString &message)
{
    if (!m_isMSG)
        return;
    NotificationCenter::defaultCenter()->postNotification(TemplateDownloadNotification, this,
                                                          {{QStringLiteral("id"), m_identifier},
                                                           {QStringLiteral("fileType"), m_fileType},
                                                           {QStringLiteral("fileName"), m_saveFile},
                                                           {QStringLiteral("status"), int(status)},
                                                           {QStringLiteral("percent"), percent},
                                                           {QStringLiteral("msg"), message}});
}
