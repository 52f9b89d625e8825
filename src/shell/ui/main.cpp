#include "foundation/AppStrings.h"
#include "foundation/SettingsStore.h"
#include "shell/BookFileRequest.h"
#include "shell/LanguageSettlement.h"
#include "shell/ui/QuorvelAppDelegate.h"

#include <QApplication>

#include <csignal>
#include <sys/prctl.h>
#include <QLocale>
#include <QProcess>

#include <unistd.h>

int main(int argc, char **argv)
{
    // The web engine's sandbox refuses to run for root and takes the program down when
    // the preview starts: run by root, the engine starts without it (as scripts/run.sh
    // starts it), and so do the helper programs, which inherit the setting.
    if (::geteuid() == 0 && qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setOrganizationName(QStringLiteral("Zendarrow"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));

    // The UI language is settled before anything is shown.
    const QStringList arguments = app.arguments().mid(1);
    const LanguageDecision language = LanguageSettlement::decide(
        arguments, defaultLanguageCode(), LanguageSettlement::systemLanguageCode(QLocale::system()),
        qEnvironmentVariableIsSet(LanguageSettlement::relaunchGuard().constData()));
    if (language.save) {
        saveDefaultLanguageCode(language.code);
        SettingsStore::sync();
    }
    if (language.relaunch) {
        // The run in the settled language; this one waits for it, so a terminal or a
        // script that started the program sees it end when the program ends.
        qputenv(LanguageSettlement::relaunchGuard().constData(), "1");
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.setInputChannelMode(QProcess::ForwardedInputChannel);
        // Ended with this run, whatever ends it (a script that kills it leaves no second
        // program behind).
        const pid_t parent = ::getpid();
        child.setChildProcessModifier([parent] {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != parent) // this run ended before the line above
                ::_exit(1);
        });
        child.start(QCoreApplication::applicationFilePath(), language.relaunchArguments);
        if (child.waitForStarted(-1)) {
            child.waitForFinished(-1);
            return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
        }
        // Starting again failed: go on in this run.
    }
    setCurrentLanguageCode(language.code);

    QuorvelAppDelegate delegate;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &QuorvelAppDelegate::applicationWillTerminate);
    const StartupRequest request = StartupRequest::parse(LanguageSettlement::withoutLanguageArgument(arguments));
    if (!delegate.applicationDidFinishLaunching(request)) {
        delegate.applicationWillTerminate();
        return 0;
    }
    return app.exec();
}
