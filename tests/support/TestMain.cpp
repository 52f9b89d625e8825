// main() of every test program: isolated user folders, the right application
// object for the libraries linked in, then the selected test classes.
#include "TestSupport.h"

#include <QLocale>

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
#include <QtTest>
#include "platform/ui/UiTestDriver.h"
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char **argv)
{
    TestSupport::isolateUserFolders();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
#if defined(QT_WEBENGINEWIDGETS_LIB)
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
    TestApplication app(argc, argv);
    TestApplication::setApplicationName(QStringLiteral("Quorvel"));
#if defined(QT_WIDGETS_LIB)
    // No alert, panel or modal window ever waits for a person in a test: whatever a
    // test does not answer fails the test and is ended at once.
    UiTestDriver::setFailureHandler(
        [](const QString &message) { QTest::qFail(qPrintable(message), "UiTestDriver", 0); });
    UiTestDriver baseDriver;
#endif
    return TestSupport::runTests(argc, argv);
}
