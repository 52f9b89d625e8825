#include "PdfFixtures.h"
#include "TestSupport.h"
#include "pages/PageImport.h"
#include "platform/ui/UiTestDriver.h"
#include "shell/BookImportTask.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/ImportProgressDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

ImportParament paramentFor(const QString &pdf)
{
    ImportParament p;
    p.sourceFiles = {pdf};
    return p;
}

QString demoPdf()
{
    return QStringLiteral(QUORVEL_SOURCE_DIR "/resources/demo/Demo.pdf");
}

} // namespace

class ImportDialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void dialogStartsFromTheRecordAndReturnsTheChoices()
    {
        ImportParament start = paramentFor(demoPdf());
        start.strPageRange = QStringLiteral("2-4");
        start.iQualityLevel = 2;
        start.iWidePageMode = 1;
        ImportPDFDialog dialog;
        dialog.setParament(start);
        UiTestDriver driver;
        driver.answerModal([&](WindowController *) {
            QCOMPARE(dialog.pageCount(), 8);
            QVERIFY(dialog.pageRangeButton()->isChecked());
            QCOMPARE(dialog.pageRangeField()->text(), QStringLiteral("2-4"));
            QCOMPARE(dialog.qualityBox()->currentIndex(), 2);
            QCOMPARE(dialog.widePageBox()->currentIndex(), 1);
            QVERIFY(dialog.messageLabel()->isHidden());
            dialog.allPagesButton()->setChecked(true);
            dialog.qualityBox()->setCurrentIndex(0);
            dialog.widePageBox()->setCurrentIndex(2);
            dialog.importButton()->click();
        });
        QCOMPARE(dialog.runModal(), 1);
        const ImportParament chosen = dialog.parament();
        QCOMPARE(chosen.strPageRange, QStringLiteral("ALL"));
        QCOMPARE(chosen.iQualityLevel, 0);
        QCOMPARE(chosen.iWidePageMode, 2);
        QCOMPARE(chosen.sourceFiles, start.sourceFiles);
    }

    void aRangeOutsideTheBookKeepsTheDialogOpen()
    {
        ImportPDFDialog dialog;
        dialog.setParament(paramentFor(demoPdf()));
        UiTestDriver driver;
        driver.answerModal([&](WindowController *) {
            dialog.pageRangeButton()->setChecked(true);
            dialog.pageRangeField()->setText(QStringLiteral("20-30"));
            dialog.importButton()->click();
            QVERIFY(dialog.isRunningModal());
            QVERIFY(!dialog.messageLabel()->isHidden());
            dialog.pageRangeField()->setText(QStringLiteral("3, 5-"));
            dialog.importButton()->click();
        });
        QCOMPARE(dialog.runModal(), 1);
        QCOMPARE(dialog.parament().strPageRange, QStringLiteral("3, 5-"));
    }

    void aProtectedPdfAsksForItsPassword()
    {
        QTemporaryDir dir;
        const QString plain = dir.path() + "/plain.pdf", locked = dir.path() + "/locked.pdf";
        QVERIFY(PdfFixtures::writeNumberedPdf(plain, 3));
        QVERIFY(PdfFixtures::encrypt(plain, locked, QStringLiteral("open sesame"), QStringLiteral("owner")));
        ImportPDFDialog dialog;
        dialog.setParament(paramentFor(locked));
        UiTestDriver driver;
        driver.answerModal([&](WindowController *) {
            QCOMPARE(dialog.pageCount(), -1);
            dialog.passwordField()->setText(QStringLiteral("open sesame"));
            emit dialog.passwordField()->editingFinished();
            QCOMPARE(dialog.pageCount(), 3);
            dialog.importButton()->click();
        });
        QCOMPARE(dialog.runModal(), 1);
        QCOMPARE(dialog.parament().strPassword, QStringLiteral("open sesame"));
    }

    void cancelStopsTheWorkerBeforeTheWindowGoes()
    {
        QTemporaryDir dir;
        ImportParament p = paramentFor(demoPdf());
        p.iQualityLevel = 0;
        BookImportTask task(p, dir.path() + "/pages");
        task.setThreadCount(1);
        ImportProgressDialog progress(&task, QStringLiteral("Demo.pdf"));
        UiTestDriver driver;
        driver.answerModal([&](WindowController *) {
            progress.performClose(); // Escape / close box: asks the import to stop
            QVERIFY(progress.isRunningModal());
            QVERIFY(!progress.cancelButton()->isEnabled());
        });
        QCOMPARE(progress.runModal(), 0);
        QVERIFY(!task.isRunning());
        QCOMPARE(task.result().error, PageError::Cancelled);
        QVERIFY(!QFileInfo::exists(dir.path() + "/pages/large"));
    }
};

QV_TEST(ImportDialogsTest)
#include "tst_importdialogs.moc"
