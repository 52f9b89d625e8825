#include "PdfFixtures.h"
#include "foundation/AppUtility.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "pages/PageNotifications.h"
#include "pages/PageWorkers.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/UiTestDriver.h"
#include "project/RecentProjectItem.h"
#include "shell/BookSession.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/ImportProgressDialog.h"
#include "shell/ui/QuorvelAppDelegate.h"

#include <QComboBox>
#include <QImage>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

// Starts the program on the demo book and gives it a change, so that replacing it
// would ask about saving.
bool startOnChangedDemo(QuorvelAppDelegate &app, UiTestDriver &driver)
{
    driver.answerModal([](WindowController *) {}); // the demo's import ends by itself
    StartupRequest start;
    start.demo = true;
    if (!app.applicationDidFinishLaunching(start) || !app.hasBook())
        return false;
    app.session()->setModified(true);
    return true;
}

// The program's folders in the temporary area.
QStringList temporaryFolders()
{
    return QDir(QDir::tempPath() + QLatin1Char('/') + AppUtility::appFolderName())
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class ImportFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void cancellingAnImportKeepsTheWindowAnsweringAndTheOpenBook()
    {
        constexpr int kPages = 300;
        QTemporaryDir dir;
        const QString pdf = dir.path() + "/Manual.pdf";
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, kPages));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startOnChangedDemo(app, driver));
        const BookSession *before = app.session();
        const QStringList foldersBefore = temporaryFolders();

        driver.answerModal([](WindowController *c) {
            auto *dialog = qobject_cast<ImportPDFDialog *>(c);
            QVERIFY(dialog);
            dialog->qualityBox()->setCurrentIndex(0); // the slowest pages
            dialog->importButton()->click();
        });
        driver.answerAlert(QStringLiteral("Don't Save"));
        int ticks = 0, ticksWhileImporting = -1, pagesAtCancel = -1, pagesMade = 0;
        QObject progressWatch;
        NotificationCenter::defaultCenter()->addObserver(&progressWatch, ImportProgressInfoMSG, nullptr, [&](const Notification &n) {
            pagesMade = std::max(pagesMade, n.userInfo.value("index").toInt());
        });
        driver.answerModal([&](WindowController *c) {
            auto *progress = qobject_cast<ImportProgressDialog *>(c);
            QVERIFY(progress);
            // A window drawing a picture: Qt splits a smooth scale over its own pool
            // and waits for it, so the timer stalls when that pool is kept busy.
            QTimer timer;
            timer.setInterval(20);
            connect(&timer, &QTimer::timeout, [&] {
                QImage picture(1024, 1024, QImage::Format_ARGB32);
                picture.fill(Qt::white);
                if (!picture.scaled(512, 512, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).isNull())
                    ++ticks;
            });
            timer.start();
            QProgressBar *bar = progress->progressBar();
            QVERIFY(QTest::qWaitFor([&] { return bar->maximum() == kPages && bar->value() >= 2; }, 60000));
            // The timer goes on firing while pages are still being made.
            const int atStart = ticks;
            QTest::qWaitFor([&] { return ticks - atStart >= 5 || bar->value() >= kPages; }, 20000);
            ticksWhileImporting = ticks - atStart;
            pagesAtCancel = pagesMade;
            progress->cancelButton()->click();
        });
        QVERIFY(!app.importPDF(pdf));
        QCoreApplication::processEvents(); // the last pages' reports

        QVERIFY2(ticksWhileImporting >= 5, qPrintable(QString::number(ticksWhileImporting)));
        QVERIFY2(pagesAtCancel < kPages, "the import was over before it could be cancelled");
        // Cancel stops the run at once: only the pages in hand when it came are finished
        // (and reports on their way to the window then are counted after it).
        QVERIFY2(pagesMade - pagesAtCancel <= 2 * PageWorkers::defaultThreadCount(),
                 qPrintable(QStringLiteral("%1 pages made after Cancel").arg(pagesMade - pagesAtCancel)));
        QCOMPARE(app.session(), before);
        QCOMPARE(app.session()->pageCount(), 8);
        QVERIFY(app.session()->isModified());
        QCOMPARE(temporaryFolders(), foldersBefore); // nothing of the cancelled import stays
        QCOMPARE(driver.unusedAnswers(), 0);
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }

    void refusedFilesAndPublishedBooksLeaveTheOpenBook()
    {
        QTemporaryDir dir;
        const QString pdf = dir.path() + "/Damaged.pdf";
        TestFiles::writeFile(pdf, "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << >>\n%%EOF\n");
        const QString picture = dir.path() + "/photo.jpg";
        TestFiles::writeFile(picture, "not a picture at all");
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startOnChangedDemo(app, driver));
        const BookSession *before = app.session();

        // One alert each, with OK only: no import dialog, no question about saving.
        driver.answerAlert(QStringLiteral("OK"));
        QVERIFY(!app.importPDF(pdf));
        driver.answerAlert(QStringLiteral("OK"));
        QVERIFY(!app.importPictures({picture}));
        QCOMPARE(driver.alerts().size(), 2);
        for (const UiTestDriver::ShownAlert &alert : driver.alerts()) {
            QCOMPARE(alert.buttons.size(), 1);
            QVERIFY(!alert.informativeText.isEmpty());
        }
        QCOMPARE(driver.modalRuns(), QStringList{QStringLiteral("ImportProgress")}); // the demo's

        // Published books in the recent list open as published books: the web book in
        // the browser, a Windows application shown in its folder. The open book stays.
        const QString page = dir.path() + "/Atlas.html", exe = dir.path() + "/Atlas.exe";
        TestFiles::writeFile(page, "<!DOCTYPE html>");
        TestFiles::writeFile(exe, "MZ");
        QVERIFY(!app.openRecent(RecentProjectItem(QStringLiteral("Atlas"), page, 0)));
        QVERIFY(!app.openRecent(RecentProjectItem(QStringLiteral("Atlas"), exe, 3)));
        QCOMPARE(driver.workspaceRequests().size(), 2);
        QCOMPARE(driver.workspaceRequests()[0].kind, QStringLiteral("page"));
        QCOMPARE(driver.workspaceRequests()[0].target, page);
        QCOMPARE(driver.workspaceRequests()[1].kind, QStringLiteral("reveal"));
        QCOMPARE(driver.workspaceRequests()[1].target, exe);
        // A web book kept as its folder opens at its page, not as a folder listing.
        const QString folder = dir.path() + "/AtlasWeb";
        TestFiles::writeFile(folder + "/AtlasWeb.html", "<!DOCTYPE html>");
        TestFiles::writeFile(folder + "/files/book.xml", "<book/>");
        QVERIFY(!app.openRecent(RecentProjectItem(QStringLiteral("Atlas"), folder, 0)));
        QCOMPARE(driver.workspaceRequests().size(), 3);
        QCOMPARE(driver.workspaceRequests()[2].kind, QStringLiteral("page"));
        QCOMPARE(driver.workspaceRequests()[2].target, folder + "/AtlasWeb.html");
        QCOMPARE(driver.alerts().size(), 2); // nothing said about projects

        QCOMPARE(app.session(), before);
        QVERIFY(app.session()->isModified());
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(ImportFlowTest)
#include "tst_importflow.moc"
