#include "output/web/BookResources.h"

#include "output/web/OutputFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

BookResources::BookResources(const QString &bookFolder, const std::atomic_bool *stop)
    : m_book(bookFolder), m_stop(stop)
{
}

QString BookResources::freeName(const QString &folder, const QString &base, const QString &suffix)
{
    const QString dot = suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
    QString name = base + dot;
    // Only names given in this run count: a book written over an older one (the live
    // preview) gives its files the names they had there.
    for (int n = 2; m_names.contains(folder + QLatin1Char('/') + name); ++n)
        name = QStringLiteral("%1-%2%3").arg(base, QString::number(n), dot);
    m_names.insert(folder + QLatin1Char('/') + name);
    return folder + QLatin1Char('/') + name;
}

QString BookResources::addPicture(const QString &sourceFile, const QString &sub, const QString &base)
{
    if (sourceFile.isEmpty() || !OutputFiles::isPicture(sourceFile))
        return {};
    const QString folder = QStringLiteral("files/extfiles/") + sub;
    // Pictures are small; the same picture from two places (the desktop and the phone
    // template's copy of a logo) goes into the book once.
    QFile file(sourceFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString key = QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex())
                        + QLatin1Char('\n') + folder;
    if (const auto it = m_copied.constFind(key); it != m_copied.cend())
        return *it;
    OutputFiles::makeFolder(m_book + QLatin1Char('/') + folder);
    const QString relative = freeName(folder, base, OutputFiles::suffixFor(sourceFile, QStringLiteral("png")));
    OutputFiles::copyFile(sourceFile, m_book + QLatin1Char('/') + relative, m_stop);
    const QString url = OutputFiles::urlPath(relative);
    m_copied.insert(key, url);
    return url;
}

QString BookResources::addFile(const QString &sourceFile, const QString &folder)
{
    const QFileInfo info(sourceFile);
    if (sourceFile.isEmpty() || !info.isFile())
        return {};
    const QString key = info.absoluteFilePath() + QLatin1Char('\n') + folder;
    if (const auto it = m_copied.constFind(key); it != m_copied.cend())
        return *it;
    OutputFiles::makeFolder(m_book + QLatin1Char('/') + folder);
    // Keep the name the reader downloads it by, minus anything a path cannot hold.
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\\\x00-\\x1f]"));
    QString base = info.completeBaseName().remove(unsafe);
    if (base.isEmpty() || base.startsWith(QLatin1Char('.')))
        base = QStringLiteral("file") + base;
    const QString suffix = OutputFiles::suffixFor(sourceFile, QString());
    const QString relative = freeName(folder, base, suffix);
    OutputFiles::copyFile(sourceFile, m_book + QLatin1Char('/') + relative, m_stop);
    const QString url = OutputFiles::urlPath(relative);
    m_copied.insert(key, url);
    return url;
}
