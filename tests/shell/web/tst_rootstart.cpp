#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

class RootStartTest : public QObject
{
    Q_OBJECT
private slots:
    // Root on a fresh machine starts the program without the web engine's sandbox
    // switch; the engine then refused to start and took the program down at once.
    void rootStartsTheProgramWithoutTheSandboxSwitch()
    {
        if (::geteuid() != 0)
            QSKIP("the engine's sandbox runs for other users");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(QUORVEL_BINARY_DIR "/bin/quorvel"), {QStringLiteral("--demo")});
        const bool ended = program.waitForFinished(12000);
        // On a fresh machine the program runs again in the settled language, as a child
        // of this run: killing the run ends that one too.
        const QStringList children = childrenOf(program.processId());
        program.kill();
        program.waitForFinished();
        QVERIFY2(!ended, program.readAll().right(600).constData());
        for (const QString &child : children)
            QVERIFY2(QTest::qWaitFor([&] { return !QFileInfo::exists("/proc/" + child); }, 30000),
                     qPrintable("the program's second run " + child + " outlived it"));
    }

private:
    static QStringList childrenOf(qint64 pid)
    {
        QStringList children;
        const QDir tasks(QString("/proc/%1/task").arg(pid));
        for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile file(tasks.filePath(task + "/children"));
            if (file.open(QIODevice::ReadOnly))
                children << QString::fromLatin1(file.readAll()).split(' ', Qt::SkipEmptyParts);
        }
        return children;
    }
};

QV_TEST(RootStartTest)
#include "tst_rootstart.moc"
