#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QtTest>
#include <sys/stat.h>

namespace TestFiles {

namespace {

// Every entry below folder, hidden and system ones too, without following links
// into other folders.
template<typename Visit>
void forEachEntry(const QString &folder, Visit visit)
{
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        visit(root.relativeFilePath(path), path, it.fileInfo());
    }
}

} // namespace

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString readText(const QString &path)
{
    return QString::fromUtf8(readFile(path));
}

bool writeFile(const QString &path, const QByteArray &data, std::source_location caller)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size()
                         && file.flush();
    if (!written)
        QTest::qFail(qPrintable(QStringLiteral("cannot write %1: %2").arg(path, file.errorString())), caller.file_name(),
                     int(caller.line()));
    return written;
}

uint modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? uint(st.st_mode & 07777) : 0;
}

QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    forEachEntry(folder, [&](const QString &name, const QString &path, const QFileInfo &info) {
        if (info.isSymLink())
            entries.insert(name, "-> " + QFile::encodeName(info.symLinkTarget()));
        else if (info.isDir())
            entries.insert(name, "<dir>");
        else
            entries.insert(name, readFile(path));
    });
    return entries;
}

QMap<QString, QString> folderStamps(const QString &folder)
{
    QMap<QString, QString> entries;
    forEachEntry(folder, [&](const QString &name, const QString &path, const QFileInfo &) {
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        if (S_ISDIR(st.st_mode))
            entries.insert(name, QStringLiteral("<dir>"));
        else
            entries.insert(name, QStringLiteral("%1 %2 %3.%4")
                                     .arg(qint64(st.st_size))
                                     .arg(quint64(st.st_ino))
                                     .arg(qint64(st.st_ctim.tv_sec))
                                     .arg(qint64(st.st_ctim.tv_nsec)));
    });
    return entries;
}

QStringList folderListing(const QString &folder)
{
    QStringList names;
    forEachEntry(folder, [&](const QString &name, const QString &, const QFileInfo &) { names << name; });
    names.sort();
    return names;
}

QMimeData *filesMime(const QStringList &paths)
{
    auto *mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    return mime;
}

} // namespace TestFiles
