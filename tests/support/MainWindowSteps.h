#pragma once
// Steps of the headless tests that drive the main window and its dialogs.

#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/QuorvelAppDelegate.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>

namespace MainWindowSteps {

// Where a test publishes the book the browser tests read: $QUORVEL_BOOK_OUT when set,
// else a folder in dir.
inline QString bookOutFolder(const QTemporaryDir &dir)
{
    const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
    return given.isEmpty() ? dir.filePath(QStringLiteral("published")) : given;
}

// The control named name in parent; the test ends when there is none.
template <class T = QWidget>
T *control(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

template <class T = QWidget>
T *control(WindowController *controller, const char *name)
{
    return control<T>(controller->window(), name);
}

// Types a tab into the bookmark tab dialog and presses Return.
inline void enterBookmarkTab(WindowController *dialog, const QString &caption, const QString &page = {})
{
    control<QLineEdit>(dialog, "txtCaption")->setText(caption);
    if (!page.isEmpty())
        control<QLineEdit>(dialog, "txtPage")->setText(page);
    QTest::keyClick(control<QLineEdit>(dialog, "txtCaption"), Qt::Key_Return);
}

inline QAction *menuItem(MainWindow *window, const QString &name)
{
    for (QAction *item : window->menuBar()->actions())
        if (item->menu())
            for (QAction *entry : item->menu()->actions())
                if (entry->objectName() == name)
                    return entry;
    return nullptr;
}

// Saves the open book as project (the save panel answered), closes it and opens it again.
inline bool saveCloseAndReopen(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &project)
{
    driver.answerPanel({project});
    return app.onSaveProjectAs() && app.closeBook() && app.openProject(project);
}

// Publishes the open book as a web book <out>/<name>.html from the Book menu and closes
// the report; true when the run ended well.
inline bool publishWebBook(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &out, const QString &name,
                           const QString &title = {}, int timeout = 90000)
{
    menuItem(app.mainWindow(), "publish")->trigger();
    PublishBookWindowDelegate *dialog = app.publishCommand()->publishDialog();
    if (!dialog)
        return false;
    control<QAbstractButton>(dialog, "btnOPHtml")->click();
    control<QLineEdit>(dialog, "txtOutputFolder")->setText(out);
    control<QLineEdit>(dialog, "txtOutputName")->setText(name);
    if (!title.isEmpty())
        control<QLineEdit>(dialog, "txtTitle")->setText(title);
    control<QCheckBox>(dialog, "btnCompressToZip")->setChecked(false);
    driver.answerModal([](WindowController *c) { control<QPushButton>(c, "btnClose")->click(); });
    QSignalSpy ended(app.publishCommand(), &PublishCommand::publishDialogDidEnd);
    control<QPushButton>(dialog, "btnPublic")->click();
    return ended.wait(timeout) && ended.first().first().toInt() == 1;
}

} // namespace MainWindowSteps
