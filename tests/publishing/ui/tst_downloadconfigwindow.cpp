#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "furnishings/DownloadCfgItem.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/DownloadAttachList.h"
#include "publishing/ui/DownloadConfigDelegate.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

template <class T = QWidget>
T *control(DownloadConfigDelegate &dialog, const char *name)
{
    return control<T>(&dialog, name);
}

void drop(DownloadConfigDelegate &dialog, const QStringList &paths)
{
    std::unique_ptr<QMimeData> mime(filesMime(paths));
    dialog.dragFileImport()->performDrop(mime.get());
    QCoreApplication::processEvents(); // the drop is taken on the main thread later
}

} // namespace

// The download configuration window, driven as a person uses it.
class DownloadConfigWindowTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void opensWithTheStoredChoices()
    {
        DownloadSettings settings;
        settings.hasPDF = true;
        settings.fileType = 5;
        settings.url = "https://example.com/book.pdf";
        settings.attachs = {"/a/x.txt", "/a/x.txt", "/b/x.txt", "/a/y.txt"};
        QVERIFY(DownloadCfgItem::writeSettings(path("stored"), settings));
        DownloadConfigDelegate dialog;
        dialog.setWorkspace(path("stored"));
        dialog.setPdfFile(path("Source.pdf"));
        dialog.showWindow();
        QVERIFY(control<QAbstractButton>(dialog, "cellWebAddress")->isChecked()); // the last kind
        // Files named outside the workspace stand for the workspace's copies of them.
        QCOMPARE(dialog.attachList()->attachments(), (QStringList{"./attachments/x.txt", "./attachments/y.txt"}));
        // The window names the PDF its single pages are made from.
        QVERIFY(control<QLabel>(dialog, "lblPagesSource")->text().contains(path("Source.pdf")));
    }

    void attachmentsAreListedOncePerName()
    {
        QVERIFY(writeFile(path("files/Prices.csv"), "a,b"));
        QVERIFY(writeFile(path("other/Prices.csv"), "c,d"));
        QVERIFY(writeFile(path("files/Cover.pdf"), "%PDF"));
        QVERIFY(QDir().mkpath(path("files/folder.pdf")));
        UiTestDriver driver;
        DownloadConfigDelegate dialog;
        dialog.setWorkspace(path("attach"));
        dialog.showWindow();
        auto *tabs = control<QTabWidget>(dialog, "tabView");

        // On the document tab a dropped PDF is the whole book; folders and others are not.
        drop(dialog, {path("files/Prices.csv"), path("files/folder.pdf"), path("files/Cover.pdf")});
        QCOMPARE(control<QLineEdit>(dialog, "txtFile")->text(), path("files/Cover.pdf"));
        QCOMPARE(dialog.attachList()->rowCount(), 0);

        tabs->setCurrentWidget(control(dialog, "attach"));
        driver.answerPanel({path("files/Prices.csv"), path("files/Cover.pdf")});
        control<QAbstractButton>(dialog, "btnAdd")->click();
        drop(dialog, {path("files/Prices.csv"), path("files/folder.pdf")});
        QCOMPARE(dialog.attachList()->attachments(), (QStringList{path("files/Prices.csv"), path("files/Cover.pdf")}));

        // Another file of a listed name would take its place in the book: refused.
        driver.answerAlert("OK");
        drop(dialog, {path("other/Prices.csv")});
        QCOMPARE(driver.alerts().size(), 1);
        QCOMPARE(driver.alerts().first().detailedText, path("other/Prices.csv"));
        QCOMPARE(dialog.attachList()->rowCount(), 2);

        // Removed, it can come again.
        control<QTableView>(dialog, "tableView")->selectRow(0);
        driver.answerAlert("OK");
        control<QAbstractButton>(dialog, "btnRemove")->click();
        QCOMPARE(dialog.attachList()->attachments(), QStringList{path("files/Cover.pdf")});
        drop(dialog, {path("other/Prices.csv")});
        QCOMPARE(dialog.attachList()->attachments(), (QStringList{path("files/Cover.pdf"), path("other/Prices.csv")}));
        QVERIFY(driver.failures().isEmpty());
    }

    void okCopiesAndCancelWaitsForTheWorker()
    {
        const QString pdf = path("Book.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 12));
        const QString workspace = path("run");
        QVERIFY(writeFile(workspace + "/pages/1.pdf", "%PDF old"));
        const QMap<QString, QByteArray> before = folderContents(workspace);
        UiTestDriver driver;
        DownloadConfigDelegate dialog;
        dialog.setWorkspace(workspace);
        dialog.setPdfFile(pdf);
        dialog.showWindow();
        control<QCheckBox>(dialog, "btnDownloadSingle")->setChecked(true);
        control<QLineEdit>(dialog, "txtPrefix")->setText("leaf-");

        // Cancel during the run: the controls stay disabled and the window open until
        // the worker has ended; then the workspace is as it was.
        control<QAbstractButton>(dialog, "btnOK")->click();
        control<QAbstractButton>(dialog, "btnCancel")->click();
        QVERIFY(dialog.isRunning());
        QVERIFY(!control<QAbstractButton>(dialog, "btnOK")->isEnabled());
        QVERIFY(!control<QLineEdit>(dialog, "txtPrefix")->isEnabled());
        dialog.performClose(); // the close box waits for the worker too
        QVERIFY(dialog.isWindowVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 30000);
        QVERIFY(dialog.isWindowVisible());
        QVERIFY(control<QAbstractButton>(dialog, "btnOK")->isEnabled());
        QVERIFY(control<QLineEdit>(dialog, "txtPrefix")->isEnabled());
        QCOMPARE(folderContents(workspace), before);

        // OK: the pages are made, the window closes with 1 and ".cfg" keeps the choices.
        control<QAbstractButton>(dialog, "btnOK")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isWindowVisible(), 30000);
        QCOMPARE(dialog.closeMode(), 1);
        QCOMPARE(QDir(workspace + "/pages").entryList(QDir::Files).size(), 12);
        const std::optional<DownloadSettings> cfg = DownloadCfgItem::readSettings(workspace);
        QVERIFY(cfg && cfg->hasPages && cfg->prefix == "leaf-");
        QCOMPARE(cfg->pages.size(), 12);
        QCOMPARE(DownloadCfgItem::downloadsForWorkspace(workspace).pageFiles.size(), 12);
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(DownloadConfigWindowTest)
#include "tst_downloadconfigwindow.moc"
