#include "FakeOutputJob.h"
#include "TestSupport.h"
#include "foundation/SettingsStore.h"
#include "pages/FlashPageSourceImg.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "project/AppSettings.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class PublishCommandTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { SettingsStore::open()->clear(); }

    void sheetOpensOnTheBookAndStoresTheChoicesBack()
    {
        FlashPageSourceImg source;
        AppSettings settings;
        settings.setOutputType(7);
        settings.setLastOutputFileTitle("Stored title");
        settings.setLoadType(2);

        QWidget mainWindow;
        mainWindow.show();
        UiTestDriver driver;
        PublishCommand command(&mainWindow, &settings);
        QList<bool> menu;
        command.setAdditionsMenuSwitch([&](bool on) { menu << on; });
        command.setDialogPreparer([&](PublishBookWindowDelegate &d) {
            QVERIFY(!d.isWindowLoaded()); // the book is handed in before the window is made
            d.setFlashPageSource(&source);
        });

        command.onConvertToFlipBook();
        PublishBookWindowDelegate *dialog = command.publishDialog();
        QCOMPARE(menu, QList<bool>{false});
        QCOMPARE(dialog->convertPara().strTitle(), QStringLiteral("Stored title"));
        auto button = [&](const char *name) { return dialog->window()->findChild<QAbstractButton *>(name); };
        QVERIFY(button("btnOPJoomla")->isChecked());
        command.onConvertToFlipBook(); // no second sheet while one is open
        QCOMPARE(driver.sheets().size(), 1);

        button("btnOPExe")->click();
        dialog->window()->findChild<QLineEdit *>("txtTitle")->setText("Typed title");
        dialog->saveConvertPara();
        button("btnCancel")->click();
        QTRY_COMPARE(menu, (QList<bool>{false, true}));
        AppSettings reread; // written to the store, not only kept in memory
        QCOMPARE(reread.outputType(), 3);
        QCOMPARE(reread.lastOutputFileTitle(), QStringLiteral("Typed title"));
        QCOMPARE(reread.loadType(), 2);
        QVERIFY(driver.alerts().isEmpty());
    }

    void theReportSaysWhichUploadsItCannotStart()
    {
        QTemporaryDir dir;
        QWidget mainWindow;
        UiTestDriver driver;
        AppSettings settings;
        settings.setLastOutputFileFolder(dir.path());
        settings.setLastOutputFileName("Book");
        settings.setLastOutputFileTitle("A Book");
        PublishCommand command(&mainWindow, &settings);
        command.setFtpUpload([](const QString &) {});
        FlashPageSourceImg source;
        source.phonePages() << std::make_shared<FlashPageImage>();
        command.setDialogPreparer([&](PublishBookWindowDelegate &d) {
            d.setFlashPageSource(&source);
            d.runServices().makeJob = [] { return std::make_shared<FakeOutputJob>(FakeOutputJob::Write); };
        });
        // The online upload is not there: its button says so where it is, and nothing
        // asks for it afterwards.
        driver.answerModal([&](WindowController *report) {
            auto *online = report->window()->findChild<QPushButton *>("btnUploadOnline");
            QVERIFY(!online->isEnabled() && !online->toolTip().isEmpty());
            QVERIFY(report->window()->findChild<QPushButton *>("btnFTPUpload")->isEnabled());
            report->window()->findChild<QPushButton *>("btnClose")->click();
        });
        command.onConvertToFlipBook();
        QSignalSpy ended(&command, &PublishCommand::publishDialogDidEnd);
        command.publishDialog()->window()->findChild<QAbstractButton *>("btnPublic")->click();
        QVERIFY(ended.wait(10000));
        QVERIFY(!command.isUploadPending() && driver.alerts().isEmpty());
    }

    void uploadsFollowOnceTheDialogWindowHasGone()
    {
        QWidget mainWindow;
        mainWindow.show();
        UiTestDriver driver;
        AppSettings settings;
        PublishCommand command(&mainWindow, &settings);

        QStringList uploads;
        command.setFtpUpload([&](const QString &path) { uploads << path; });
        command.onConvertToFlipBook();
        PublishBookWindowDelegate *dialog = command.publishDialog();
        dialog->setOpenPanelNumber(2);
        dialog->setProjectFilePath("/out/book.zip");
        // The sheet ends while its window still shows (as when the report closes it).
        command.publishBookDidEnd(1);
        QTest::qWait(3 * PublishCommand::kReportWaitIntervalMs);
        QVERIFY(uploads.isEmpty());
        command.onConvertToFlipBook(); // a pending upload keeps the command waiting
        QCOMPARE(command.publishDialog(), dialog);
        dialog->window()->hide();
        QTRY_COMPARE(uploads, QStringList{"/out/book.zip"});
        QVERIFY(!command.isUploadPending());
    }
};

QV_TEST(PublishCommandTest)
#include "tst_publishcommand.moc"
