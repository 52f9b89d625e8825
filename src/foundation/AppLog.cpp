#include "foundation/AppLog.h"

#include "foundation/AppUtility.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace {
const QString kLogName = QStringLiteral("Log.txt");
const QString kBackupFolder = QStringLiteral("backupLog");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss-zzz");

// Backup names: "Log <stamp>.txt", or "Log <stamp>_NN.txt" when several rotations
// fall in one millisecond; sorted by name they are sorted by age ('.' < '_').
const QRegularExpression &backupNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^Log \\d{4}-\\d{2}-\\d{2} \\d{2}-\\d{2}-\\d{2}-\\d{3}(_\\d+)?\\.txt$"));
    return pattern;
}
} // namespace

AppLog::AppLog(const QString &folder, qint64 maxBytes, int maxBackups)
    : m_folder(folder), m_maxBytes(maxBytes), m_maxBackups(maxBackups)
{
}

AppLog &AppLog::shared()
{
    static AppLog log(AppUtility::userAppExtraDataPath());
    return log;
}

QString AppLog::logFilePath() const
{
    return m_folder + QLatin1Char('/') + kLogName;
}

QString AppLog::backupFolderPath() const
{
    return m_folder + QLatin1Char('/') + kBackupFolder;
}

void AppLog::log(const QString &text)
{
    const QByteArray record = (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz "))
                               + text + QLatin1Char('\n'))
                                  .toUtf8();
    QMutexLocker lock(&m_mutex);
    QDir().mkpath(m_folder);
    rotateIfNeeded();
    QFile file(logFilePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(record);
}

void AppLog::error(const QString &text)
{
    const QString message = QStringLiteral("Error:") + text;
    {
        QMutexLocker lock(&m_mutex);
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    log(message);
}

void AppLog::rotateIfNeeded()
{
    const QFileInfo info(logFilePath());
    if (!info.exists() || info.size() <= m_maxBytes)
        return;
    QDir backups(backupFolderPath());
    if (!backups.mkpath(QStringLiteral(".")))
        return;
    const QString stamp = QStringLiteral("Log ")
        + QDateTime::currentDateTime().toString(kStampFormat);
    QString target = backups.filePath(stamp + QStringLiteral(".txt"));
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = backups.filePath(stamp + QStringLiteral("_%1.txt").arg(n, 2, 10, QLatin1Char('0')));
    if (!QFile::rename(logFilePath(), target))
        return;
    pruneBackups();
}

void AppLog::pruneBackups()
{
    QDir backups(backupFolderPath());
    QStringList names = backups.entryList({QStringLiteral("Log *.txt")}, QDir::Files, QDir::Name);
    names.removeIf([](const QString &name) { return !backupNamePattern().match(name).hasMatch(); });
    // Sort by stamp, then by sequence (a plain name sort puts "_10" before "_9").
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const QString stampA = a.left(27), stampB = b.left(27);
        if (stampA != stampB)
            return stampA < stampB;
        const int seqA = a.size() > 31 ? a.mid(28, a.size() - 32).toInt() : 0;
        const int seqB = b.size() > 31 ? b.mid(28, b.size() - 32).toInt() : 0;
        return seqA < seqB;
    });
    for (qsizetype i = 0; i + m_maxBackups < names.size(); ++i)
        backups.remove(names[i]);
}
