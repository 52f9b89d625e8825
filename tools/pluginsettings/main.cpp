// PluginSettingsEditor: edits the settings of one plug-in bundle for the program.
// The program starts it with one argument and waits for it:
//
//     PluginSettingsEditor "i=<bundle folder>" -AppleLanguages "(<language code>)"
//
// ("|" and "=" inside the path written ":7C:" and ":3D:"). It shows the bundle's
// margins, opacity and place in front of or behind the book with the movie playing
// over a sketch of the book, and on OK keeps them in the bundle's save folder
// ("settings.dat", "<name>1.swf" and the bundle's other web files).
//
// Exit status: 1 the settings were accepted and saved; 0 cancelled; 2 bad command line.
#include "foundation/AppStrings.h"
#include "furnishings/ui/PluginSettingsEditor.h"
#include "shell/PreviewServer.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setOrganizationName(QStringLiteral("Zendarrow"));
    // The movie plays when the view is served over http, from this process only.
    PreviewServer server;
    const auto host = [&server](const QString &folder) {
        server.setDocumentRoot(folder);
        return server.isListening() || server.start() ? server.baseUrl() : QUrl();
    };
    return PluginSettingsEditor::runFromArguments(app.arguments().mid(1), host);
}
