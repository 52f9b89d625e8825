#pragma once
// Driving the main window as a person would, for the headless flows of this folder:
// its menu items, the controls of its dialogs, and publishing a web book from the
// Book menu.

#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/QuorvelAppDelegate.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace MainWindowDriving {

// The item of the window's menus with that action name, as the user finds it there.
inline QAction *menuItem(MainWindow *window, const QString &name)
{
    for (QAction *item : window->menuBar()->actions())
        if (item->menu())
            for (QAction *entry : item->menu()->actions())
                if (entry->objectName() == name)
                    return entry;
    return nullptr;
}

template <class T = QWidget>
T *control(WindowController *controller, const char *name)
{
    T *found = controller->window()->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Where a flow publishes: $QUORVEL_BOOK_OUT (a browser test reads the book there), else
// "published" in dir.
inline QString bookOut(const QTemporaryDir &dir)
{
    const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
    return given.isEmpty() ? dir.filePath("published") : given;
}

// Starts the program on pdf: its import dialog answered with Import, the progress
// left to end by itself. True when the book is open.
inline bool launchWithPdf(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &pdf)
{
    driver.answerModal([](WindowController *c) { qobject_cast<ImportPDFDialog *>(c)->importButton()->click(); });
    driver.answerModal([](WindowController *) {});
    StartupRequest start;
    start.file = BookFileRequest::fromPaths({pdf});
    return app.applicationDidFinishLaunching(start) && app.hasBook();
}

// Publishes the open book from the Book menu as the web book <out>/<name>.html (not
// zipped), closing the report; true when the publish dialog ended with 1.
inline bool publishWebBook(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &out, const QString &name,
                           const QString &title, int timeout)
{
    menuItem(app.mainWindow(), "publish")->trigger();
    PublishBookWindowDelegate *dialog = app.publishCommand()->publishDialog();
    control<QAbstractButton>(dialog, "btnOPHtml")->click();
    control<QLineEdit>(dialog, "txtOutputFolder")->setText(out);
    control<QLineEdit>(dialog, "txtOutputName")->setText(name);
    control<QLineEdit>(dialog, "txtTitle")->setText(title);
    control<QCheckBox>(dialog, "btnCompressToZip")->setChecked(false);
    driver.answerModal([](WindowController *c) { control<QPushButton>(c, "btnClose")->click(); });
    QSignalSpy ended(app.publishCommand(), &PublishCommand::publishDialogDidEnd);
    control<QPushButton>(dialog, "btnPublic")->click();
    return ended.wait(timeout) && ended.first().first().toInt() == 1;
}

} // namespace MainWindowDriving
