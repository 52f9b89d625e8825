#include "foundation/AppStrings.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QMainWindow window;
    window.setWindowTitle(loadAppString(QStringLiteral("$APP_NAME$")));
    window.resize(1200, 800);
    window.show();
    return app.exec();
}
