#include "foundation/AppUtility.h"

#include "foundation/Crypto.h"
#include "foundation/SafeFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QClipboard>
#include <QDateTime>
#include <QLockFile>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

QString joinPath(const QString &base, const QString &sub)
{
    if (sub.isEmpty())
        return base;
    return QDir::cleanPath(base + QLatin1Char('/') + sub);
}

QString ensureFolder(const QString &path)
{
    QDir().mkpath(path); // errors show later, when the folder is used
    return path;
}

} // namespace

QString AppUtility::appFolderName()
{
    QString name = QStringLiteral("Quorvel");
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return name;
}

QString AppUtility::userAppFolderForSubFolder(const QString &subPath)
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return ensureFolder(joinPath(base, subPath));
}

QString AppUtility::userAppExtraDataPath(const QString &subFolder)
{
    return userAppFolderForSubFolder(joinPath(QStringLiteral("Zendarrow/") + appFolderName(), subFolder));
}

QString AppUtility::userAppResourcePath(const QString &subFolder)
{
    return userAppFolderForSubFolder(joinPath(QStringLiteral("Zendarrow/flipbook"), subFolder));
}

bool AppUtility::writeString(const QString &text, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    if (file.write(data) != data.size())
        return false;
    return file.commit();
}

bool AppUtility::copyFromPath(const QString &sourceFolder, const QString &destinationFolder, bool withHiddenFiles,
                              const QString &home, QStringList *leftOut)
{
    return SafeFiles::copyFolder(sourceFolder, destinationFolder, withHiddenFiles, home, leftOut);
}

QStringList AppUtility::subFolderOfFolder(const QString &folder)
{
    QStringList result;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        result << it.next();
    result.sort();
    return result;
}

QString AppUtility::checkIntegerValueString(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    return digits;
}

void AppUtility::copyString2Pasteboard(const QString &text)
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app)
        return;
    if (QThread::currentThread() == app->thread()) {
        QGuiApplication::clipboard()->setText(text);
        return;
    }
    QMetaObject::invokeMethod(app, [text] { QGuiApplication::clipboard()->setText(text); }, Qt::QueuedConnection);
}

QString AppUtility::MD5StringOfData(const QByteArray &data)
{
    return QString::fromLatin1(Crypto::md5(data).toHex());
}

QString AppUtility::MD5StringOfString(const QString &text)
{
    return MD5StringOfData(text.toUtf8());
}

QDomElement AppUtility::getCDATA(QDomDocument &document, const QString &text, const QString &key)
{
    QDomElement element = document.createElement(key);
    element.appendChild(getCDataNode(document, text));
    return element;
}

QDomNode AppUtility::getCDataNode(QDomDocument &document, const QVariant &value)
{
    const QString text = value.toString();
    if (!text.contains(QLatin1String("]]>")))
        return document.createCDATASection(text);
    // "a]]>b" is written as <![CDATA[a]]]]><![CDATA[>b]]>: each "]]>" is cut after
    // its "]]", so no section holds the terminator.
    QDomDocumentFragment fragment = document.createDocumentFragment();
    qsizetype start = 0;
    qsizetype found;
    while ((found = text.indexOf(QLatin1String("]]>"), start)) >= 0) {
        fragment.appendChild(document.createCDATASection(text.mid(start, found + 2 - start)));
        start = found + 2;
    }
    fragment.appendChild(document.createCDATASection(text.mid(start)));
    return fragment;
}

QString userDocumentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() + QStringLiteral("/Documents") : documents;
}

namespace {

// A folder of this user's own: a real folder (not a link) owned by us, created with
// mode 0700 when missing. In a shared temporary folder another user could otherwise
// own it and rename or read what we put inside.
bool isOwnFolder(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    return ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// The folder that holds the program's temporary folders; empty when none can be had.
QString temporaryParent()
{
    QString base = QDir::tempPath();
    if (base.isEmpty() || !QFileInfo(base).isDir())
        base = QDir::homePath();
    QString parent = base + QLatin1Char('/') + AppUtility::appFolderName();
    if (!isOwnFolder(parent)) {
        parent += QStringLiteral("-%1").arg(::geteuid());
        if (!isOwnFolder(parent))
            return {};
    }
    return parent;
}

// Every temporary folder is claimed by a lock file beside it ("temp.XXXXXX.lock"),
// held while the folder is in use: a folder whose lock no running process holds
// was left behind by a program that ended without removing it.
struct TemporaryClaims
{
    QMutex mutex;
    std::map<QString, std::unique_ptr<QLockFile>> locks;

    // Never destroyed: the claims of folders still there when the program ends stay
    // on disk, so the next start finds them stale and removes the folders.
    static TemporaryClaims &shared()
    {
        static TemporaryClaims *claims = new TemporaryClaims;
        return *claims;
    }
    void claim(const QString &folder)
    {
        auto lock = std::make_unique<QLockFile>(folder + QStringLiteral(".lock"));
        lock->setStaleLockTime(0); // stale only when its process is gone
        if (!lock->tryLock(0))
            return;
        QMutexLocker locker(&mutex);
        locks[folder] = std::move(lock);
    }
    void release(const QString &folder)
    {
        QMutexLocker locker(&mutex);
        locks.erase(QDir::cleanPath(folder));
    }
};

// A folder from before the claims, or whose claim could not be read: left alone
// until nothing has touched it for this long.
constexpr qint64 kUnclaimedAgeSeconds = 2 * 24 * 3600;

} // namespace

QString createUniqueTempFolder()
{
    const QString parent = temporaryParent();
    if (parent.isEmpty())
        return {};
    QByteArray pattern = QFile::encodeName(parent + QStringLiteral("/temp.XXXXXX"));
    if (!mkdtemp(pattern.data())) // mode 0700
        return {};
    const QString folder = QFile::decodeName(pattern);
    TemporaryClaims::shared().claim(folder);
    return folder;
}

int removeStaleTemporaryFolders()
{
    const QString parent = temporaryParent();
    if (parent.isEmpty())
        return 0;
    int removed = 0;
    const QFileInfoList folders = QDir(parent).entryInfoList({QStringLiteral("temp.*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo &folder : folders) {
        const QString path = folder.absoluteFilePath();
        const QString lockPath = path + QStringLiteral(".lock");
        const bool claimed = QFileInfo::exists(lockPath);
        if (!claimed && folder.lastModified().secsTo(QDateTime::currentDateTime()) < kUnclaimedAgeSeconds)
            continue;
        QLockFile lock(lockPath);
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue; // in use by a running program (this one included)
        if (removeTree(path))
            ++removed;
        lock.unlock();
    }
    // Claims whose folder went another way.
    for (const QFileInfo &file : QDir(parent).entryInfoList({QStringLiteral("temp.*.lock")}, QDir::Files | QDir::Hidden)) {
        if (QFileInfo::exists(file.absoluteFilePath().chopped(5)))
            continue;
        QLockFile lock(file.absoluteFilePath());
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock();
    }
    return removed;
}

bool changeFilePermistion(const QString &path, uint mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode & 07777)) == 0;
}

void makeTreeWritable(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || info.isSymLink())
        return;
    struct stat st;
    const QByteArray path = QFile::encodeName(folder);
    if (::stat(path.constData(), &st) == 0)
        ::chmod(path.constData(), (st.st_mode & 07777) | S_IRWXU);
    const QFileInfoList children =
        QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo &child : children)
        makeTreeWritable(child.absoluteFilePath());
}

bool removeTree(const QString &folder)
{
    TemporaryClaims::shared().release(folder);
    const QFileInfo info(folder);
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        return QFile::remove(folder);
    if (!info.exists())
        return true;
    makeTreeWritable(folder);
    return QDir(folder).removeRecursively();
}
