#pragma once
// Steps of the headless tests that drive the main window: a window's controls by name,
// the items of the menu bar, typing into the bookmark tab dialog, publishing the open
// book as a web folder from the Book menu the way a person does, and script in the preview.

#include "WindowControls.h"
#include "foundation/AppUtility.h"
#include "furnishings/PluginBundle.h"
#include "furnishings/ui/BackgroundSettingView.h"
#include "platform/ui/PictureGridView.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/QvWebView.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "platform/ui/WindowController.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"
#include "shell/ui/FurnishingTabs.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PreviewPane.h"
#include "shell/ui/QuorvelAppDelegate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

// Starts the program on the demo book (its import's progress window ends by itself);
// true when the book is open.
inline bool startWithDemo(QuorvelAppDelegate &app, UiTestDriver &driver)
{
    driver.answerModal([](WindowController *) {});
    StartupRequest start;
    start.demo = true;
    return app.applicationDidFinishLaunching(start) && app.hasBook();
}

// Gives a setting of the template the design-settings outline shows a value, as typed there.
inline void setDesignSetting(QuorvelAppDelegate &app, const QString &key, const QString &value)
{
    FlashTemplateModel *model = app.mainWindow()->designSettings()->model();
    QVERIFY(model->setData(model->indexForKey(key, FlashTemplateModel::ValueColumn), value));
}

// Starts the program on a PDF, which the import dialog imports as it is offered (its
// progress window ends by itself); true when the book is open.
inline bool startWithImportedPdf(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &pdf)
{
    driver.answerModal([](WindowController *c) { qobject_cast<ImportPDFDialog *>(c)->importButton()->click(); });
    driver.answerModal([](WindowController *) {});
    StartupRequest start;
    start.file = BookFileRequest::fromPaths({pdf});
    return app.applicationDidFinishLaunching(start) && app.hasBook();
}

// Types a tab into the bookmark tab dialog and presses Return.
inline void enterBookmarkTab(WindowController *dialog, const QString &caption, const QString &page = {})
{
    control<QLineEdit>(dialog, "txtCaption")->setText(caption);
    if (!page.isEmpty())
        control<QLineEdit>(dialog, "txtPage")->setText(page);
    QTest::keyClick(control<QLineEdit>(dialog, "txtCaption"), Qt::Key_Return);
}

// The item called name of any menu of the window's menu bar.
inline QAction *bookMenuItem(MainWindow *window, const QString &name)
{
    for (QAction *item : window->menuBar()->actions())
        if (item->menu())
            for (QAction *entry : item->menu()->actions())
                if (entry->objectName() == name)
                    return entry;
    return nullptr;
}

// One run of the publish dialog: the kind's button, the output folder, the file name,
// the title (the dialog's own when empty) and the ZIP switch.
struct PublishChoice
{
    const char *kindButton = "btnOPHtml";
    QString folder;
    QString name;
    QString title;
    bool zip = false;
};

// Publishes the open book from the Book menu as choice says and closes the report;
// true when the run ended as published.
inline bool publishFromDialog(QuorvelAppDelegate &app, UiTestDriver &driver, const PublishChoice &choice, int timeout)
{
    bookMenuItem(app.mainWindow(), QStringLiteral("publish"))->trigger();
    PublishBookWindowDelegate *dialog = app.publishCommand()->publishDialog();
    clickControl(dialog, choice.kindButton);
    control<QLineEdit>(dialog, "txtOutputFolder")->setText(choice.folder);
    control<QLineEdit>(dialog, "txtOutputName")->setText(choice.name);
    if (!choice.title.isEmpty())
        control<QLineEdit>(dialog, "txtTitle")->setText(choice.title);
    control<QCheckBox>(dialog, "btnCompressToZip")->setChecked(choice.zip);
    driver.answerModal([](WindowController *c) { clickControl(c, "btnClose"); });
    QSignalSpy ended(app.publishCommand(), &PublishCommand::publishDialogDidEnd);
    clickControl(dialog, "btnPublic");
    return ended.wait(timeout) && ended.first().first().toInt() == 1;
}

// Publishes the open book as the web folder <folder>/<name>.html (not packed) from the
// Book menu and closes the report; true when the run ended as published.
inline bool publishWebFolder(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &folder,
                             const QString &name, const QString &title, int timeout)
{
    return publishFromDialog(app, driver, {"btnOPHtml", folder, name, title, false}, timeout);
}

// Double-clicks the item titled title in the picker of a furnishing tab, as a person
// would; false when the picker has no such item.
inline bool chooseInPicker(QuorvelAppDelegate &app, const QString &tab, const QString &title)
{
    MainWindow *window = app.mainWindow();
    window->designTabView()->setCurrentWidget(window->tabPage(tab));
    BackgroundSettingView *picker = app.furnishingTabs()->picker(tab);
    int row = -1;
    for (int i = 0; i < picker->imageList().size(); ++i)
        if (picker->imageList().at(i).bgName == title)
            row = i;
    if (row < 0)
        return false;
    PictureGridView *grid = picker->imageView();
    const QModelIndex index = grid->model()->index(row, 0);
    grid->scrollTo(index);
    QTest::qWait(50); // the tab lays its picker out
    const QPoint at = grid->visualRect(index).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    return true;
}

// The bookConfig object of a published book's configuration script (files/config.js).
inline QJsonObject bookConfigOf(const QString &script)
{
    QFile file(script);
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    const int start = text.indexOf(QLatin1Char('{'));
    const int end = text.indexOf(QStringLiteral("};"));
    return QJsonDocument::fromJson(text.mid(start, end - start + 1).toUtf8()).object();
}

// Installs the program's plug-in settings editor answered by a script (tests/support
// DrivenPluginEditor.cpp: QUORVEL_TEST_EDITOR says what it does) where the program looks
// for its editor.
inline bool installDrivenPluginEditor()
{
    const QString folder = PluginBundle::settingsEditorFolder();
    makeTreeWritable(folder);
    removeTree(folder);
    QDir().mkpath(QFileInfo(PluginBundle::settingsEditorPath()).absolutePath());
    QFile version(folder + QStringLiteral("/.ver"));
    return QFile::copy(QStringLiteral(QUORVEL_BINARY_DIR "/bin/quorvel-test-plugin-editor"), PluginBundle::settingsEditorPath())
           && version.open(QIODevice::WriteOnly) && version.write(PluginBundle::settingsEditorVersion().toUtf8()) >= 0;
}

// Evaluates script in the preview and waits for its answer. An answer that comes after
// the wait (a busy machine) lands in state of its own, never in a finished call.
inline QVariant evaluate(PreviewPane *pane, const QString &script)
{
    struct Answer
    {
        QVariant value;
        bool done = false;
    };
    auto answer = std::make_shared<Answer>();
    pane->webView()->evaluateJavaScript(script, [answer](const QVariant &r) {
        answer->value = r;
        answer->done = true;
    });
    static_cast<void>(QTest::qWaitFor([&] { return answer->done; }, 30000));
    return answer->value;
}

// Runs the editor of the design setting "securitySetting" from the main window's outline.
inline void openSecurityEditor(QuorvelAppDelegate &app)
{
    FlashTemplateOutlineDelegate *outline = app.mainWindow()->designSettings();
    outline->openEditorForIndex(outline->model()->indexForKey("securitySetting", FlashTemplateModel::ValueColumn));
}

// Protects the open book with one password, chosen in the security dialog.
inline void protectWithPassword(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &password)
{
    driver.answerModal([password](WindowController *c) {
        clickControl(c, "cellSinglePassword");
        control<QLineEdit>(c, "txtSinglePassword")->setText(password);
        clickControl(c, "btnOK");
    });
    openSecurityEditor(app);
}

// Whether the protected preview shows a decrypted page, or asks for the password.
inline bool previewShowsPage(PreviewPane *pane)
{
    return evaluate(pane, "!!document.querySelector('.qv-page img[src^=\"blob:\"]')").toBool();
}

inline bool previewAsks(PreviewPane *pane)
{
    return evaluate(pane, "!!document.querySelector('.qv-secure-dialog')").toBool();
}
