#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppLog.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace TestFiles;

namespace {
QStringList backups(const AppLog &log)
{
    return QDir(log.backupFolderPath()).entryList(QDir::Files, QDir::Name);
}
} // namespace

class AppLogTest : public QObject
{
    Q_OBJECT
private slots:
    void rotationKeepsNewestThirtyBackups()
    {
        QTemporaryDir folder;
        AppLog log(folder.path(), 50); // every record makes the file too big
        // A file that is not one of our backups is never deleted.
        QVERIFY(writeFile(log.backupFolderPath() + "/notes.txt"));

        const QString line(60, QLatin1Char('x'));
        for (int i = 0; i < 80; ++i)
            log.log(QStringLiteral("record %1 ").arg(i, 3, 10, QLatin1Char('0')) + line);

        QStringList names = backups(log);
        QVERIFY(names.removeOne("notes.txt"));
        QCOMPARE(names.size(), 30);
        // The oldest went, the newest stayed: the backups hold records 49 to 78 and the
        // current file the last one.
        QString kept;
        for (const QString &name : std::as_const(names))
            kept += QString::fromUtf8(readFile(log.backupFolderPath() + "/" + name));
        QVERIFY(kept.contains("record 078"));
        QVERIFY(kept.contains("record 049"));
        QVERIFY(!kept.contains("record 048"));
        QVERIFY(readFile(log.logFilePath()).contains("record 079"));
    }

    void recordsFromManyThreadsStayWhole()
    {
        QTemporaryDir folder;
        AppLog log(folder.path());
        QList<QThread *> threads;
        for (int t = 0; t < 8; ++t) {
            threads << QThread::create([&log, t] {
                for (int i = 0; i < 200; ++i)
                    log.log(QStringLiteral("publish error:thread %1 item %2 end").arg(t).arg(i));
            });
            threads.last()->start();
        }
        for (QThread *thread : std::as_const(threads)) {
            thread->wait();
            delete thread;
        }
        const QList<QByteArray> lines = readFile(log.logFilePath()).split('\n');
        QCOMPARE(lines.size(), 8 * 200 + 1);
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            QVERIFY2(lines[i].endsWith(" end") && lines[i].count("publish error:") == 1, lines[i].constData());
    }

    void sharedLogLiesInUserDataFolder()
    {
        QVERIFY(AppLog::shared().logFilePath().startsWith(TestSupport::isolatedHome()));
        AppLog::shared().error("disk full");
        QVERIFY(readFile(AppLog::shared().logFilePath()).contains("Error:disk full"));
    }
};

QV_TEST(AppLogTest)
#include "tst_applog.moc"
