// The plug-in settings editor as the window tests start it: the program's own editor
// (PluginSettingsEditor::runFromArguments), whose window is answered by a script
// instead of a person. QUORVEL_TEST_EDITOR says what the "person" does:
//   "accept <left> <top> <right> <bottom> <opacity> <behind>"  sets the controls, OK
//   "cancel"                                                  changes a margin, Cancel
// Installed where the program looks for its editor, it stands in for the helper.
#include "WindowControls.h"
#include "furnishings/ui/PluginSettingsEditor.h"
#include "platform/ui/UiTestDriver.h"
#include "shell/PreviewServer.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QSpinBox>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    const QStringList answer = qEnvironmentVariable("QUORVEL_TEST_EDITOR").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    UiTestDriver driver;
    driver.answerModal([answer](WindowController *editor) {
        const char *margins[] = {"txtLeft", "txtTop", "txtRight", "txtBottom"};
        if (answer.value(0) == QLatin1String("accept") && answer.size() == 7) {
            for (int i = 0; i < 4; ++i)
                control<QDoubleSpinBox>(editor, margins[i])->setValue(answer.at(i + 1).toDouble());
            control<QSpinBox>(editor, "txtOpacity")->setValue(answer.at(5).toInt());
            control<QRadioButton>(editor, answer.at(6) == QLatin1String("1") ? "rdoBehind" : "rdoFront")->setChecked(true);
            clickControl(editor, "btnOK");
        } else {
            control<QDoubleSpinBox>(editor, "txtLeft")->setValue(42);
            clickControl(editor, "btnCancel");
        }
    });
    PreviewServer server;
    const auto host = [&server](const QString &folder) {
        server.setDocumentRoot(folder);
        return server.isListening() || server.start() ? server.baseUrl() : QUrl();
    };
    return PluginSettingsEditor::runFromArguments(app.arguments().mid(1), host);
}
