#include "TestSupport.h"
#include "foundation/SettingsStore.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "project/AppSettings.h"
#include "publishing/PluginSettings.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"

#include <QAbstractButton>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QAbstractButton *button(PublishBookWindowDelegate *dialog, const char *name)
{
    return dialog->window()->findChild<QAbstractButton *>(QString::fromLatin1(name));
}

} // namespace

class PublishCommandTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        SettingsStore::open()->clear();
        QFile::remove(PluginSettings::defaultFilePath());
    }

    void sheetOpensOnTheBookAndStoresTheChoicesBack()
    {
        QTemporaryDir dir;
        QImage thumb(30, 40, QImage::Format_RGB32);
        thumb.fill(Qt::darkCyan);
        QVERIFY(thumb.save(dir.filePath("1.jpg")));

        AppSettings settings;
        settings.setOutputType(7);
        settings.setLastOutputFileName("Stored");
        settings.setLastOutputFileTitle("Stored title");
        settings.setLoadType(2);
        settings.saveSettings();

        QWidget mainWindow;
        mainWindow.show();
        UiTestDriver driver;
        PublishCommand command(&mainWindow, &settings);
        QList<bool> menu;
        command.setAdditionsMenuSwitch([&](bool on) { menu << on; });
        command.setDialogPreparer([&](PublishBookWindowDelegate &d) {
            QVERIFY(!d.isWindowLoaded()); // the book is handed in before the window is made
            d.setThumbPagePaths({dir.filePath("1.jpg")});
        });
        QList<int> ends;
        connect(&command, &PublishCommand::publishDialogDidEnd, this, [&](int code) { ends << code; });

        command.onConvertToFlipBook();
        PublishBookWindowDelegate *dialog = command.publishDialog();
        QVERIFY(dialog);
        QCOMPARE(driver.sheets(), QStringList{"PublishBookWindow"});
        QVERIFY(dialog->isSheet());
        QCOMPARE(menu, QList<bool>{false});
        QCOMPARE(dialog->openPanelNumber(), 0);
        QCOMPARE(dialog->convertPara().iOutputType(), 7);
        QCOMPARE(dialog->convertPara().strTitle(), QStringLiteral("Stored title"));
        QCOMPARE(dialog->shotFile(), dir.filePath("1.jpg"));
        QVERIFY(button(dialog, "btnOPJoomla")->isChecked());

        // While the sheet is open the command opens no second one.
        command.onConvertToFlipBook();
        QCOMPARE(command.publishDialog(), dialog);
        QCOMPARE(driver.sheets().size(), 1);

        button(dialog, "btnOPExe")->click();
        dialog->window()->findChild<QLineEdit *>("txtTitle")->setText("Typed title");
        dialog->saveConvertPara();
        button(dialog, "btnCancel")->click();
        QTRY_COMPARE(ends, QList<int>{0});
        QCOMPARE(menu, (QList<bool>{false, true}));

        AppSettings reread;
        QCOMPARE(reread.outputType(), 3);
        QCOMPARE(reread.lastOutputFileTitle(), QStringLiteral("Typed title"));
        QCOMPARE(reread.lastOutputFileName(), QStringLiteral("Stored"));
        QCOMPARE(reread.loadType(), 2);
        QVERIFY(driver.alerts().isEmpty());

        // The next command replaces the dialog.
        command.onConvertToFlipBook();
        QVERIFY(command.publishDialog() != nullptr);
        QCOMPARE(driver.sheets().size(), 2);
        command.publishDialog()->closeWindowWithCode(0);
    }

    void reportAskedForAnUploadThatIsNotAvailable()
    {
        QWidget mainWindow;
        mainWindow.show();
        UiTestDriver driver;
        AppSettings settings;
        PublishCommand command(&mainWindow, &settings);

        command.onConvertToFlipBook();
        command.publishDialog()->setOpenPanelNumber(1);
        driver.answerAlert("OK");
        command.publishDialog()->closeWindowWithCode(1);
        QVERIFY(command.isUploadPending());
        QTRY_VERIFY(!command.isUploadPending());
        QCOMPARE(driver.alerts().size(), 1);
        QCOMPARE(driver.alerts().first().messageText, QStringLiteral("Online upload is not available."));

        command.onConvertToFlipBook();
        command.publishDialog()->setOpenPanelNumber(2);
        driver.answerAlert("OK");
        command.publishDialog()->closeWindowWithCode(1);
        QTRY_COMPARE(driver.alerts().size(), 2);
        QCOMPARE(driver.alerts().last().messageText, QStringLiteral("FTP upload is not available."));
    }

    void uploadWaitsWhileTheDialogWindowIsStillShown()
    {
        QWidget mainWindow;
        mainWindow.show();
        UiTestDriver driver;
        AppSettings settings;
        PublishCommand command(&mainWindow, &settings);
        QStringList uploads;
        command.setFtpUpload([&](const QString &path) { uploads << path; });
        command.setOnlineUpload([&] { uploads << "online"; });

        command.onConvertToFlipBook();
        PublishBookWindowDelegate *dialog = command.publishDialog();
        dialog->setOpenPanelNumber(2);
        dialog->setProjectFilePath("/out/book.zip");
        // The sheet ends while its window still shows (as when the report closes it).
        command.publishBookDidEnd(1);
        QVERIFY(command.isUploadPending());
        QTest::qWait(3 * PublishCommand::kReportWaitIntervalMs);
        QVERIFY(uploads.isEmpty());
        // A pending upload keeps the command from opening another dialog.
        command.onConvertToFlipBook();
        QCOMPARE(command.publishDialog(), dialog);

        dialog->window()->hide();
        QTRY_COMPARE(uploads, QStringList{"/out/book.zip"});
        QVERIFY(!command.isUploadPending());
        QVERIFY(driver.alerts().isEmpty());
    }
};

QV_TEST(PublishCommandTest)
#include "tst_publishcommand.moc"
