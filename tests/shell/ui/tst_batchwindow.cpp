#include "MainWindowSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "project/AppSettings.h"
#include "publishing/ui/ConvertSettings.h"
#include "publishing/ui/MobileSettingView.h"
#include "publishing/ui/RoundButtonCell.h"
#include "shell/ui/BatchWindow.h"
#include "templates/FlashTemplate.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 180000;

// Chooses title in one of the mobile settings panel's pop-ups, as a click does.
void choose(QComboBox *popUp, const QString &title)
{
    popUp->setCurrentIndex(popUp->findText(title));
    emit popUp->activated(popUp->currentIndex());
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// The batch window: documents added, each row's output window (its fields, mobile
// settings file and panel kept in the row), the rows converted one after another into
// books on disk, Cancel and a row that fails. QUORVEL_BOOK_OUT names the folder the
// first test writes into (the browser test reads the phone versions there).
class BatchWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void rowsKeepTheirOutputSettingsAndBecomeBooks()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("books") : given;
        const QString alpha = dir.filePath("Alpha.pdf"), beta = dir.filePath("Beta.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(alpha, 3));
        QVERIFY(PdfFixtures::writeNumberedPdf(beta, 5));
        QVERIFY(writeFile(dir.filePath("phone.txt"), "toolbarColor=0x224466\niconColor=0xFFEE00\n"));
        // New rows start as WordPress plug-ins written into out, with the browser
        // test's error recorder (QUORVEL_BOOK_SCRIPT) as their extra script.
        if (const QString script = qEnvironmentVariable("QUORVEL_BOOK_SCRIPT"); !script.isEmpty())
            AppSettings::shareInstance()->setLastOutputAddScript(readText(script));
        AppSettings::shareInstance()->setOutputType(6);
        AppSettings::shareInstance()->setLastOutputFileFolder(out);

        UiTestDriver driver;
        driver.setModalTimeout(kLong);
        BatchWindow batch;
        batch.showWindow();
        driver.answerPanel({alpha, beta});
        clickControl(&batch, "btnAdd");
        QTRY_COMPARE(batch.list().rowCount(), 2);

        // Row 2: a web folder of its own, a title, and the phone version's look.
        const QString slide = out + "/slide";
        batch.selectRow(1);
        clickControl(&batch, "btnOutputSettings");
        ConvertSettings *settings = batch.outputSettings();
        QVERIFY(settings && settings->isSheet());
        control<QAbstractButton>(settings, "cellKind0")->click();
        control<QLineEdit>(settings, "txtOutputFolder")->setText(slide);
        control<QLineEdit>(settings, "txtTitle")->setText("Beta in pairs");
        clickControl(settings, "btnShowMobileSetting");
        MobileSettingView *panel = settings->mobileSettingView();
        driver.answerModal([](WindowController *c) {
            qobject_cast<ColorPanelDelegate *>(c)->setColor(QColor(0x2E, 0x7D, 0x32));
            qobject_cast<ColorPanelDelegate *>(c)->onOK();
        });
        panel->colorButton()->click();
        choose(panel->flipStylePopUp(), "Slide");
        choose(panel->doubleSlidePopUp(), "Yes");
        driver.answerPanel({dir.filePath("phone.txt")});
        panel->moreButton()->click();
        QTRY_VERIFY(settings->mobileTemplate());
        clickControl(settings, "btnMobileSettingDone");
        clickControl(settings, "btnSave");
        QTRY_VERIFY(!batch.outputSettings());
        const ConvertParament row2 = batch.list().itemAt(1)->convertParament;
        QCOMPARE(row2.strMobileColor(), QString("0x2E7D32"));

        // Opened again, the window shows what was kept; Cancel keeps the row as it is.
        batch.selectRow(1);
        clickControl(&batch, "btnOutputSettings");
        settings = batch.outputSettings();
        QVERIFY(control<QAbstractButton>(settings, "cellKind0")->isChecked());
        QCOMPARE(control<QLineEdit>(settings, "txtOutputFolder")->text(), slide);
        QCOMPARE(control<QLineEdit>(settings, "txtTitle")->text(), QString("Beta in pairs"));
        panel = settings->mobileSettingView();
        QCOMPARE(panel->colorButton()->backgroundColor(), QColor(0x2E, 0x7D, 0x32));
        QCOMPARE(panel->flipStylePopUp()->currentText(), QString("Slide"));
        QCOMPARE(panel->doubleSlidePopUp()->currentText(), QString("Yes"));
        QCOMPARE(settings->mbSettingFile(), dir.filePath("phone.txt"));
        QCOMPARE(settings->mobileTemplate()->propertyValue("toolbarColor"), QString("0x224466"));
        control<QLineEdit>(settings, "txtTitle")->setText("Changed");
        choose(panel->flipStylePopUp(), "Flip");
        clickControl(settings, "btnCancel");
        QTRY_VERIFY(!batch.outputSettings());
        QCOMPARE(batch.list().itemAt(1)->convertParament, row2);

        clickControl(&batch, "btnConvert");
        QVERIFY(batch.conversion().isRunning());
        batch.window()->close(); // refused while it converts
        QVERIFY(batch.isWindowVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!batch.conversion().isRunning(), kLong);
        for (int row : {0, 1})
            QCOMPARE(BatchList::statusText(*batch.list().itemAt(row)), QString("Done"));
        // Row 1: the plug-in package; row 2: the web folder, its phone version in pairs.
        QCOMPARE(batch.list().itemAt(0)->message, out + "/Alpha.zip");
        QVERIFY(readFile(out + "/Alpha.zip").startsWith("PK"));
        QVERIFY(QFileInfo::exists(slide + "/Beta.html"));
        QCOMPARE(bookConfigOf(slide + "/files/config.js").value("title").toString(), QString("Beta in pairs"));
        const QJsonObject phone = bookConfigOf(slide + "/mobile/files/config.js");
        QCOMPARE(phone.value("pages").toArray().size(), 5);
        QCOMPARE(phone.value("backgroundColor").toString(), QString("#2E7D32"));
        QCOMPARE(phone.value("flipStyle").toString(), QString("Slide"));
        QCOMPARE(phone.value("doublePageSlide").toBool(), true);
        QCOMPARE(phone.value("toolbarColor").toString(), QString("#224466"));
        QCOMPARE(phone.value("iconColor").toString(), QString("#FFEE00"));

        // The same book flipping, made with the output window's Publish button.
        batch.selectRow(1);
        clickControl(&batch, "btnOutputSettings");
        settings = batch.outputSettings();
        control<QLineEdit>(settings, "txtOutputFolder")->setText(out + "/flip");
        choose(settings->mobileSettingView()->flipStylePopUp(), "Flip");
        clickControl(settings, "btnPublic");
        QVERIFY(settings->isWorkerRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!batch.outputSettings(), kLong);
        QTRY_VERIFY(!batch.conversion().isRunning());
        const QJsonObject flip = bookConfigOf(out + "/flip/mobile/files/config.js");
        QCOMPARE(flip.value("flipStyle").toString(), QString("Flip"));
        QCOMPARE(flip.value("backgroundColor").toString(), QString("#2E7D32"));
        QCOMPARE(batch.list().itemAt(1)->convertParament.strOutputFolder(), out + "/flip");
        QVERIFY(driver.failures().isEmpty());
    }

    void cancelDuringTheSecondRowKeepsTheFirstBook()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("a")) && QDir().mkpath(dir.filePath("b")));
        QVERIFY(PdfFixtures::writeNumberedPdf(dir.filePath("a/A.pdf"), 2));
        QVERIFY(PdfFixtures::writeNumberedPdf(dir.filePath("b/B.pdf"), 40));
        AppSettings::shareInstance()->setOutputType(0);

        UiTestDriver driver;
        BatchWindow batch;
        batch.showWindow();
        batch.conversion().setImportThreads(1);
        batch.addPaths({dir.filePath("a/A.pdf"), dir.filePath("b/B.pdf")});
        for (int row : {0, 1}) { // each book beside its document
            ConvertParament output = batch.list().itemAt(row)->convertParament;
            output.setStrOutputFolder(QFileInfo(batch.list().itemAt(row)->path).absolutePath());
            batch.list().setOutput(row, output);
        }
        // Cancelled as soon as row 2's book has begun to be written (its pages are
        // imported): the click comes right after the writing starts.
        bool cancelled = false;
        connect(&batch.conversion(), &BatchConversion::rowProgressed, this, [&](int row, int percent) {
            if (row == 1 && percent >= 50 && !cancelled) {
                cancelled = true;
                QTimer::singleShot(0, this, [&] { clickControl(&batch, "btnCancel"); });
            }
        });
        clickControl(&batch, "btnConvert");
        QTRY_VERIFY_WITH_TIMEOUT(cancelled && !batch.conversion().isRunning(), kLong);

        QCOMPARE(batch.list().itemAt(0)->state, BatchItem::State::Done);
        QCOMPARE(batch.list().itemAt(1)->state, BatchItem::State::Cancelled);
        // Row 1's book is whole; of row 2 nothing is left beside its document.
        QCOMPARE(entriesOf(dir.filePath("a")), QStringList({"A.html", "A.pdf", "files", "mobile"}));
        const QJsonArray pages = bookConfigOf(dir.filePath("a/files/config.js")).value("pages").toArray();
        QCOMPARE(pages.size(), 2);
        for (const QJsonValue &page : pages)
            QVERIFY(QFileInfo(dir.filePath("a/" + page.toObject().value("normal").toString())).size() > 0);
        QCOMPARE(entriesOf(dir.filePath("b")), QStringList({"B.pdf"}));
        QVERIFY(driver.alerts().isEmpty()); // a cancelled row is no failure
    }

    void aRowThatFailsSaysWhyAndTheOthersGoOn()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("Damaged.pdf"), QByteArray(4000, 'x')));
        QVERIFY(PdfFixtures::writeNumberedPdf(dir.filePath("Good.pdf"), 2));
        QVERIFY(QDir().mkpath(dir.filePath("empty")) && QDir().mkpath(dir.filePath("scans")));
        QVERIFY(writeFile(dir.filePath("notes.txt"), "not a book"));
        QVERIFY(writeFile(dir.filePath("scans/10.png"), QByteArray()));
        AppSettings::shareInstance()->setOutputType(0);
        AppSettings::shareInstance()->setLastOutputFileFolder(dir.filePath("out"));

        UiTestDriver driver;
        BatchWindow batch;
        batch.showWindow();
        // Dropped: documents of other kinds and a folder without pictures are named, not added.
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(dir.filePath("empty")), QUrl::fromLocalFile(dir.filePath("scans"))});
        driver.answerAlert("OK");
        QVERIFY(batch.dropTarget()->performDrop(&dropped));
        QTRY_COMPARE(driver.alerts().size(), 1);
        QVERIFY(driver.alerts().first().informativeText.contains("empty: The folder holds no pictures."));
        QCOMPARE(batch.list().rowCount(), 1);
        QCOMPARE(batch.list().itemAt(0)->source, BatchItem::Source::Pictures);
        batch.list().removeRowsAt({0});
        driver.answerAlert("OK");
        batch.addPaths({dir.filePath("notes.txt"), dir.filePath("Damaged.pdf"), dir.filePath("Good.pdf")});
        QVERIFY(driver.alerts().at(1).informativeText.contains("notes.txt: Only PDF files"));
        QCOMPARE(batch.list().rowCount(), 2);

        driver.answerAlert("OK");
        clickControl(&batch, "btnConvert");
        QTRY_VERIFY_WITH_TIMEOUT(!batch.conversion().isRunning(), kLong);
        QCOMPARE(batch.list().itemAt(0)->state, BatchItem::State::Failed);
        QVERIFY(!batch.list().itemAt(0)->message.isEmpty());
        QCOMPARE(batch.list().itemAt(1)->state, BatchItem::State::Done);
        QVERIFY(QFileInfo::exists(dir.filePath("out/Good.html")));
        QVERIFY(!QFileInfo::exists(dir.filePath("out/Damaged.html")));
        // The end names the document that failed and the import's reason.
        const UiTestDriver::ShownAlert &end = driver.alerts().last();
        QCOMPARE(end.messageText, QString("Some documents could not be converted."));
        QCOMPARE(end.informativeText, "Damaged.pdf: " + batch.list().itemAt(0)->message);
    }
};

QV_TEST(BatchWindowTest)
#include "tst_batchwindow.moc"
