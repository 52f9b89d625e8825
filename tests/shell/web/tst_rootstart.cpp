#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

namespace {

// Whether a web engine process runs below the program (it may have restarted itself in
// its language first).
bool hasEngineProcess(qint64 pid)
{
    QHash<qint64, qint64> parents;
    QList<qint64> engines;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromLatin1(stat.readAll());
        const qsizetype end = text.lastIndexOf(QLatin1Char(')'));
        parents.insert(entry.toLongLong(), text.mid(end + 2).split(QLatin1Char(' ')).value(1).toLongLong());
        if (text.contains(QLatin1String("(QtWebEngine")))
            engines << entry.toLongLong();
    }
    for (qint64 process : std::as_const(engines))
        for (int depth = 0; depth < 8 && process > 1; ++depth, process = parents.value(process))
            if (parents.value(process) == pid)
                return true;
    return false;
}

} // namespace

// The program started by root as a fresh machine starts it: without the web engine's
// sandbox switch in the environment.
class RootStartTest : public QObject
{
    Q_OBJECT
private slots:
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
        QVERIFY(program.waitForStarted());
        // The engine starts its processes, and the program goes on after that.
        const bool engineRuns = QTest::qWaitFor(
            [&] { return program.state() != QProcess::Running || hasEngineProcess(program.processId()); }, 60000);
        QTest::qWait(2000);
        const bool stillRuns = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished();
        QVERIFY2(engineRuns && stillRuns, program.readAll().right(600).constData());
    }
};

QV_TEST(RootStartTest)
#include "tst_rootstart.moc"
