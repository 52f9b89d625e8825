#include "MainWindowSteps.h"
#include "PdfFixtures.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/UiTestDriver.h"
#include "project/BookDocument.h"
#include "project/ProjectBackup.h"
#include "shell/BookSession.h"
#include "shell/PreviewAddress.h"
#include "shell/ui/BatchWindow.h"
#include "platform/ui/WebPageWindow.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PreviewPane.h"
#include "shell/ui/ProjectPanel.h"
#include "shell/ui/QuorvelAppDelegate.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"
#include "platform/ui/QvWebView.h"

#include <QAction>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QWebEngineView>
#include <QtTest>

namespace {

constexpr int kLong = 90000;

// Waits until the viewer in the preview has opened a book of `pages` pages.
bool viewerShows(PreviewPane *pane, int pages)
{
    return QTest::qWaitFor(
        [&] {
            return pane->webView()
                && evaluate(pane, QStringLiteral("window.Quorvel && Quorvel.reader ? Quorvel.reader.book.pageCount : 0")).toInt()
                == pages;
        },
        kLong);
}

void clickImport(WindowController *controller)
{
    auto *dialog = qobject_cast<ImportPDFDialog *>(controller);
    QVERIFY(dialog);
    dialog->importButton()->click();
}

QString setting(QuorvelAppDelegate &app, const QString &key)
{
    return app.session()->document().flashTmpl()->propertyValue(key);
}

} // namespace

class ShellFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void demoBookEditedSavedAndOpenedAgain()
    {
        UiTestDriver driver;
        driver.answerModal([](WindowController *) {}); // the import's progress ends by itself
        QuorvelAppDelegate app;
        StartupRequest start;
        start.demo = true;
        QSignalSpy shown(&app, &QuorvelAppDelegate::previewShown);
        QVERIFY(app.applicationDidFinishLaunching(start));
        QVERIFY(app.hasBook());
        QCOMPARE(app.session()->pageCount(), 8);
        PreviewPane *pane = app.mainWindow()->previewPane();
        QVERIFY(shown.wait(kLong));
        QVERIFY(viewerShows(pane, 8));
        QCOMPARE(pane->requestedUrl().host(), QStringLiteral("127.0.0.1"));
        QVERIFY(QFileInfo::exists(app.previewFolder() + "/index.html"));

        // The reader turns to page 4; the address follows.
        pane->goToPage(4);
        QTRY_COMPARE_WITH_TIMEOUT(pane->currentPage(), 4, 10000);

        // Preview in Browser: run by root, where browsers refuse to start, the book opens
        // at its page in a window of the program's own; else the desktop's browser has it.
        driver.setWorkspacePassThrough(WebPageWindow::desktopBrowserRefuses());
        app.mainWindow()->action(QStringLiteral("previewInBrowser"))->trigger();
        driver.setWorkspacePassThrough(false);
        QCOMPARE(driver.workspaceRequests().value(0).kind, QStringLiteral("page"));
        if (WebPageWindow::desktopBrowserRefuses()) {
            auto *browser = WebPageWindow::current();
            QVERIFY(browser && browser->isVisible());
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return scriptAnswer(browser->webView(), "window.Quorvel && Quorvel.reader ? Quorvel.reader.book.pageCount : 0")
                               .toInt()
                        == 8;
                },
                kLong));
            QCOMPARE(PreviewAddress::pageFromUrl(browser->webView()->url()), 4);
            // A plain browser: the page has no way into the program.
            QCOMPARE(scriptAnswer(browser->webView(), "typeof window.qvCallBack + typeof window.qt").toString(),
                     QStringLiteral("undefinedundefined"));
            browser->close();
        }

        // Three quick changes of a design setting: one rebuild, shown in place on page 4.
        const int builds = app.previewLoop().buildCount();
        const QString original = setting(app, QStringLiteral("backgroundColor"));
        for (const char *color : {"0x112233", "0x445566", "0x336699"})
            setDesignSetting(app, QStringLiteral("backgroundColor"), QString::fromLatin1(color));
        QVERIFY(app.session()->isModified());
        QVERIFY(app.mainWindow()->isWindowModified());
        QVERIFY(shown.wait(kLong));
        QTest::qWait(1000);
        QCOMPARE(app.previewLoop().buildCount(), builds + 1);
        QCOMPARE(pane->currentPage(), 4);
        QVERIFY(viewerShows(pane, 8));
        QCOMPARE(evaluate(pane, QStringLiteral("bookConfig.backgroundColor")).toString().toUpper(),
                 QStringLiteral("#336699"));
        QTRY_COMPARE_WITH_TIMEOUT(pane->currentPage(), 4, 10000);

        // Undo goes back over the merged changes, redo returns; each rebuilds.
        QAction *undo = app.mainWindow()->action(QStringLiteral("undo"));
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QCOMPARE(setting(app, QStringLiteral("backgroundColor")), original);
        QVERIFY(shown.wait(kLong));
        app.mainWindow()->action(QStringLiteral("redo"))->trigger();
        QCOMPARE(setting(app, QStringLiteral("backgroundColor")), QStringLiteral("0x336699"));
        QVERIFY(shown.wait(kLong));

        // Save as a project, close it, open it again: the same pages and setting.
        QTemporaryDir dir;
        const QString project = dir.path() + "/Almanac.qvprj";
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(QFileInfo::exists(project));
        QVERIFY(!app.session()->isModified());
        QVERIFY(app.mainWindow()->windowTitle().startsWith(QStringLiteral("Almanac")));
        QVERIFY(app.closeBook());
        QVERIFY(!app.hasBook());
        QVERIFY(!pane->isShowingBook());
        QVERIFY(!app.mainWindow()->action(QStringLiteral("save"))->isEnabled());

        QVERIFY(app.openProject(project));
        QCOMPARE(app.session()->pageCount(), 8);
        QCOMPARE(setting(app, QStringLiteral("backgroundColor")), QStringLiteral("0x336699"));
        QVERIFY(shown.wait(kLong));
        QVERIFY(viewerShows(pane, 8));
        QCOMPARE(PreviewAddress::pageFromUrl(pane->requestedUrl()), 0); // a book opens on its first page

        // The batch window opens from the File menu beside the book, one for the program;
        // quitting waits while it converts.
        bookMenuItem(app.mainWindow(), "batchConversion")->trigger();
        BatchWindow *batch = app.batchWindow();
        QVERIFY(batch && batch->isWindowVisible());
        bookMenuItem(app.mainWindow(), "batchConversion")->trigger();
        QCOMPARE(app.batchWindow(), batch);
        QVERIFY(PdfFixtures::writeNumberedPdf(dir.filePath("Batch.pdf"), 2));
        batch->addPaths({dir.filePath("Batch.pdf")});
        QVERIFY(batch->conversion().start({0}));
        driver.answerAlert("OK");
        QVERIFY(!app.applicationShouldTerminate());
        QCOMPARE(driver.alerts().last().messageText, QString("A batch conversion is under way."));
        batch->conversion().cancel();
        QTRY_VERIFY(!batch->conversion().isRunning());

        // Quitting: nothing to ask, settings saved, a backup, no preview folder left.
        QVERIFY(app.applicationShouldTerminate());
        const QString previewFolder = app.previewFolder();
        const int backupsBefore = ProjectBackup().backups().size();
        app.applicationWillTerminate();
        QVERIFY(!QFileInfo::exists(previewFolder));
        QCOMPARE(ProjectBackup().backups().size(), backupsBefore + 1);
        QVERIFY(!app.previewServer().isListening());
        QCOMPARE(driver.unusedAnswers(), 0);
    }

    void droppedPdfReplacesAnUnsavedBookWhenAllowed()
    {
        QTemporaryDir dir;
        const QString pdf = dir.path() + "/Three.pdf";
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 3));
        UiTestDriver driver;
        driver.answerModal([](WindowController *) {});
        QuorvelAppDelegate app;
        StartupRequest start;
        start.demo = true;
        QSignalSpy shown(&app, &QuorvelAppDelegate::previewShown);
        QVERIFY(app.applicationDidFinishLaunching(start));
        QVERIFY(shown.wait(kLong));
        setDesignSetting(app, QStringLiteral("pageShadow"), QStringLiteral("No"));
        QVERIFY(app.session()->isModified());

        QMimeData drop;
        drop.setUrls({QUrl::fromLocalFile(pdf)});
        // First the user keeps the book: asked once the PDF is known to be readable...
        driver.answerModal(clickImport);
        driver.answerAlert(QStringLiteral("Cancel"));
        QVERIFY(app.mainWindow()->dropTarget()->performDrop(&drop));
        QTRY_COMPARE(driver.alerts().size(), 1);
        QCOMPARE(app.session()->pageCount(), 8);
        // ...then lets it go.
        driver.answerAlert(QStringLiteral("Don't Save"));
        driver.answerModal(clickImport);
        driver.answerModal([](WindowController *) {});
        // Dropped on the preview itself: the web view does not open the file, the window does.
        QWebEngineView *web = app.mainWindow()->previewPane()->webEngineView();
        QWidget *surface = web->focusProxy() ? web->focusProxy() : web;
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(surface, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropEvent(QPointF(50, 50), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(surface, &dropEvent);
        QVERIFY(dropEvent.isAccepted());
        QTRY_COMPARE_WITH_TIMEOUT(app.session()->pageCount(), 3, kLong);
        QCOMPARE(app.session()->displayName(), QStringLiteral("Three"));
        QVERIFY(shown.wait(kLong));
        QVERIFY(viewerShows(app.mainWindow()->previewPane(), 3));
        QCOMPARE(driver.unusedAnswers(), 0);
        QVERIFY(driver.failures().isEmpty());

        // Quitting an unsaved book: Cancel keeps the program running.
        driver.answerAlert(QStringLiteral("Cancel"));
        QVERIFY(!app.applicationShouldTerminate());
        const QString project = dir.path() + "/Three.qvprj";
        driver.answerAlert(QStringLiteral("Save"));
        driver.answerPanel({project});
        QVERIFY(app.applicationShouldTerminate());
        QVERIFY(QFileInfo::exists(project));
        app.applicationWillTerminate();
    }

    void projectPanelImportAsksAgainForAWrongPassword()
    {
        QTemporaryDir dir;
        const QString plain = dir.path() + "/plain.pdf", locked = dir.path() + "/Locked.pdf";
        QVERIFY(PdfFixtures::writeNumberedPdf(plain, 2));
        QVERIFY(PdfFixtures::encrypt(plain, locked, QStringLiteral("right"), QStringLiteral("owner")));
        UiTestDriver driver;
        driver.answerModal([](WindowController *c) {
            qobject_cast<ProjectPanel *>(c)->button(ProjectPanel::NewFromPDF)->click();
        });
        driver.answerPanel({locked});
        driver.answerModal([](WindowController *c) {
            auto *dialog = qobject_cast<ImportPDFDialog *>(c);
            dialog->passwordField()->setText(QStringLiteral("wrong"));
            dialog->importButton()->click();
        });
        QString shownMessage;
        driver.answerModal([&](WindowController *c) {
            auto *dialog = qobject_cast<ImportPDFDialog *>(c);
            shownMessage = dialog->messageLabel()->text();
            dialog->passwordField()->setText(QStringLiteral("right"));
            dialog->importButton()->click();
        });
        driver.answerModal([](WindowController *) {});
        QuorvelAppDelegate app;
        QVERIFY(app.applicationDidFinishLaunching());
        QVERIFY(!shownMessage.isEmpty());
        QCOMPARE(app.session()->pageCount(), 2);
        // The wrong password is found before an import starts.
        QCOMPARE(driver.modalRuns(), (QStringList{"ProjectPanel", "ImportPDFWindow", "ImportPDFWindow", "ImportProgress"}));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }

    void quittingFromTheProjectPanel()
    {
        UiTestDriver driver;
        driver.answerModal([](WindowController *c) { qobject_cast<ProjectPanel *>(c)->button(ProjectPanel::Quit)->click(); });
        QuorvelAppDelegate app;
        QVERIFY(!app.applicationDidFinishLaunching());
        QVERIFY(!app.hasBook());
        const QString previewFolder = app.previewFolder();
        app.applicationWillTerminate();
        QVERIFY(!QFileInfo::exists(previewFolder));
    }
};

QV_TEST(ShellFlowTest)
#include "tst_shellflow.moc"
