#pragma once
// The program's log file, "Log.txt" in the user's data folder.
//
// Each record is one line: local date and time, a blank, the text. Before a record
// is appended to a file that has grown past the size limit (4 MiB), the file is moved
// into the "backupLog" folder beside it under a name made of its date and time
// ("Log 2024-05-01 14-03-22-118.txt"), and only the newest 30 backups are kept.
// Any thread may log; records never interleave.

#include <QMutex>
#include <QString>

class AppLog
{
public:
    static constexpr qint64 kDefaultMaxBytes = 4 * 1024 * 1024;
    static constexpr int kDefaultMaxBackups = 30;

    explicit AppLog(const QString &folder, qint64 maxBytes = kDefaultMaxBytes,
                    int maxBackups = kDefaultMaxBackups);

    // The log of the program, in AppUtility::userAppExtraDataPath().
    static AppLog &shared();

    // Appends one record (line breaks inside text are kept as they are).
    void log(const QString &text);
    // Writes "Error:<text>" to the console (standard error) and appends it to the log.
    void error(const QString &text);

    QString logFilePath() const;
    QString backupFolderPath() const;

private:
    void rotateIfNeeded();
    void pruneBackups();

    QString m_folder;
    qint64 m_maxBytes;
    int m_maxBackups;
    QMutex m_mutex;
};
