#include "TestSupport.h"

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
        program.kill();
        program.waitForFinished();
        QVERIFY2(!ended, program.readAll().right(600).constData());
    }
};

QV_TEST(RootStartTest)
#include "tst_rootstart.moc"
