#include "MainWindowSteps.h"
#include "PdfFixtures.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/ZipExtractor.h"
#include "pages/FlashPageSource.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "project/BookDocument.h"
#include "publishing/PhonePageRun.h"
#include "publishing/SWFSnapDelegate.h"
#include "publishing/ui/ImageBrowser.h"
#include "publishing/ui/OutputReport.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"
#include "shell/BookSession.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/QuorvelAppDelegate.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr int kLong = 90000;

// The publish item of the main window's Book menu, as the user finds it there.
QAction *publishMenuItem(MainWindow *window)
{
    for (QAction *item : window->menuBar()->actions()) {
        if (!item->menu())
            continue;
        for (QAction *entry : item->menu()->actions())
            if (entry->objectName() == QLatin1String("publish"))
                return entry;
    }
    return nullptr;
}

// The report of a published book: the file it names kept, View Book pressed, closed.
UiTestDriver::ModalHandler viewBookAndClose(QString *fileName)
{
    return [fileName](WindowController *controller) {
        auto *report = qobject_cast<OutputReport *>(controller);
        QVERIFY(report);
        *fileName = report->outputFileName();
        control<QPushButton>(report, "btnViewBook")->click();
        control<QPushButton>(report, "btnClose")->click();
    };
}

} // namespace

class PublishFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void bookFromAPdfPublishedFromTheMainWindow()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("Almanac.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 3));
        const QString out = dir.filePath("published");
        UiTestDriver driver;
        driver.answerModal([](WindowController *c) { qobject_cast<ImportPDFDialog *>(c)->importButton()->click(); });
        driver.answerModal([](WindowController *) {}); // the import's progress ends by itself

        QuorvelAppDelegate app;
        StartupRequest start;
        start.file = BookFileRequest::fromPaths({pdf});
        QVERIFY(app.applicationDidFinishLaunching(start));
        QCOMPARE(app.session()->pageCount(), 3);
        // The snapshot helper is installed on a worker while the program starts.
        QVERIFY(app.helperInstall().isStarted());

        // A saved book whose phone pictures are missing.
        FlashPageSource *pages = app.session()->document().pageSource().get();
        pages->phonePages().clear();
        const QString project = dir.filePath("Almanac.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(!app.session()->isModified());

        // --- Kind 0: a web folder, with the phone pages made and reviewed on the way.
        QAction *publish = publishMenuItem(app.mainWindow());
        QVERIFY(publish && publish->isEnabled());
        publish->trigger();
        QCOMPARE(driver.sheets(), QStringList{"PublishBookWindow"});
        PublishBookWindowDelegate *dialog = app.publishCommand()->publishDialog();
        QCOMPARE(dialog->shotFile(), pages->thumbPages().first()->pageFilePath());
        control<QAbstractButton>(dialog, "btnOPHtml")->click();
        control<QLineEdit>(dialog, "txtOutputFolder")->setText(out);
        control<QLineEdit>(dialog, "txtOutputName")->setText(QStringLiteral("Almanac"));
        control<QLineEdit>(dialog, "txtTitle")->setText(QStringLiteral("The Almanac"));
        control<QCheckBox>(dialog, "btnCompressToZip")->setChecked(false);

        driver.answerAlert(QStringLiteral("OK")); // make the phone pages
        QStringList reviewed;
        driver.answerModal([&](WindowController *c) {
            auto *browser = qobject_cast<ImageBrowser *>(c);
            QVERIFY(browser);
            reviewed = browser->images();
            control<QPushButton>(browser, "btnOK")->click();
        });
        QString reported;
        driver.answerModal(viewBookAndClose(&reported));
        QSignalSpy ended(app.publishCommand(), &PublishCommand::publishDialogDidEnd);
        control<QPushButton>(dialog, "btnPublic")->click();
        QVERIFY(ended.wait(kLong));
        QCOMPARE(ended.first().first().toInt(), 1);

        // The pictures were made for every page, reviewed, and joined the book: it has
        // changed, and saving keeps them.
        QCOMPARE(reviewed.size(), 3);
        QCOMPARE(pages->phonePages().size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pages->phonePages().at(i)->pageFilePath(), reviewed.at(i));
            QVERIFY(!QImage(reviewed.at(i)).isNull());
        }
        QVERIFY(app.session()->isModified());
        QVERIFY(app.mainWindow()->isWindowModified());
        QVERIFY(app.onSaveProject());
        {
            ProjectResult opened;
            const std::unique_ptr<BookSession> saved = BookSession::open(project, &opened);
            QVERIFY2(saved, qPrintable(opened.message));
            const QList<FlashPagePtr> &kept = saved->document().pageSource()->phonePages();
            QCOMPARE(kept.size(), 3);
            for (const FlashPagePtr &page : kept)
                QVERIFY(QFileInfo(page->pageFilePath()).isFile());
        }

        QCOMPARE(reported, out + "/Almanac.html");
        QVERIFY(QFileInfo(out + "/Almanac.html").isFile());
        QVERIFY(QFileInfo(out + "/files").isDir());
        QVERIFY(QFileInfo(out + "/mobile/files/page/1.jpg").isFile());
        QVERIFY(!dialog->window()->isVisible());

        // --- Kind 0 packed as ZIP: the dialog opens with the stored choices.
        publish->trigger();
        dialog = app.publishCommand()->publishDialog();
        QCOMPARE(driver.sheets().size(), 2);
        QCOMPARE(control<QLineEdit>(dialog, "txtOutputName")->text(), QStringLiteral("Almanac"));
        QCOMPARE(control<QLineEdit>(dialog, "txtOutputFolder")->text(), out);
        control<QCheckBox>(dialog, "btnCompressToZip")->setChecked(true);
        driver.answerModal(viewBookAndClose(&reported));
        ended.clear();
        control<QPushButton>(dialog, "btnPublic")->click();
        QVERIFY(ended.wait(kLong));
        QCOMPARE(ended.first().first().toInt(), 1);
        QCOMPARE(driver.alerts().size(), 1); // the phone pages are there now: no question
        QCOMPARE(reported, out + "/Almanac.zip");
        QVERIFY(!QFileInfo::exists(out + "/index.zip"));
        const QStringList entries = ZipExtractor::entryNames(out + "/Almanac.zip");
        QVERIFY2(entries.contains(QStringLiteral("index.html")), qPrintable(entries.join(' ')));
        QVERIFY(entries.contains(QStringLiteral("mobile/index.html")));
        QVERIFY(QFileInfo(out + "/Almanac.html").isFile()); // the web folder stays as it was
        QVERIFY(!app.session()->isModified()); // publishing alone changes nothing

        QVERIFY(driver.failures().isEmpty());
        QCOMPARE(driver.unusedAnswers(), 0);
        app.applicationWillTerminate();
        QVERIFY(app.helperInstall().isFinished());
        QVERIFY(QFileInfo(SWFSnapDelegate::ZuziDORExePath()).isExecutable());
    }

    void phonePicturesAreReviewedFromTheAdditionsMenu()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("Leaflet.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 3));
        QVERIFY(TestPictures::writePicture(dir.filePath("own.png"), QSize(400, 800), Qt::red));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        FlashPageSource *pages = app.session()->document().pageSource().get();
        pages->phonePages().clear();

        // The pictures are made first; page 2 then gets a picture of the user's.
        QStringList reviewed;
        driver.answerPanel({dir.filePath("own.png")});
        driver.answerModal([&](WindowController *c) {
            auto *browser = static_cast<ImageBrowser *>(c);
            const QString made = browser->images().value(1);
            browser->replaceImage(1);
            QTRY_VERIFY(browser->images().value(1) != made);
            reviewed = browser->images();
            control<QPushButton>(browser, "btnOK")->click();
        });
        QAction *review = app.mainWindow()->action(QStringLiteral("phonePages"));
        QVERIFY(review->isEnabled());
        review->trigger();
        app.mainWindow()->close(); // refused while the pictures are made
        QVERIFY(app.mainWindow()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(pages->phonePages().size(), 3, kLong);

        QCOMPARE(PhonePageRun::phonePictures(*pages), reviewed);
        const QColor own = QImage(reviewed.at(1)).pixelColor(10, 10);
        QVERIFY(own.red() > 240 && own.green() < 20 && !QImage(reviewed.at(2)).isNull());
        QVERIFY(app.session()->isModified() && review->isEnabled());
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(PublishFlowTest)
#include "tst_publishflow.moc"
