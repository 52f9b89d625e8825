#include "SnapTestHelpers.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "platform/ui/FMButton.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/ui/ImageBrowser.h"
#include "publishing/ui/ImageEditView.h"
#include "publishing/ui/QvImageManageView.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace SnapTest;
using namespace TestPictures;

namespace {

QPushButton *button(ImageBrowser &browser, const char *name)
{
    return browser.window()->findChild<QPushButton *>(name);
}

} // namespace

class ImageBrowserTest : public QObject
{
    Q_OBJECT
private slots:
    void rowsShowEveryPageAndOKReturnsThePictures()
    {
        QTemporaryDir dir;
        QVERIFY(writePicture(dir.filePath("1.jpg"), QSize(400, 800), Qt::red));
        const QStringList pages{dir.filePath("1.jpg"), dir.filePath("missing.jpg")};
        UiTestDriver driver;
        ImageBrowser browser;
        browser.setSWFs(pages);
        browser.setImages(pages);
        browser.setPageWidth(600);
        browser.window(); // loads with the values set before
        QCOMPARE(browser.txtWidth()->text(), QStringLiteral("600"));

        QTableView *table = browser.tableView();
        QCOMPARE(table->model()->rowCount(), 2);
        QCOMPARE(table->model()->index(1, 0).data().toString(), QStringLiteral("2"));
        for (int row = 0; row < 2; ++row) {
            QvImageManageView *view = browser.manageView(row);
            QVERIFY(view);
            QVERIFY(!view->imageView()->image().isNull()); // the missing picture shows the placeholder
        }
        QCOMPARE(browser.manageView(0)->imageView()->image().size(), QSize(45, 90));
        QVERIFY(!browser.manageView(2));

        // Open shows the page picture in its viewer.
        browser.manageView(0)->btnPreview()->click();
        QCOMPARE(driver.workspaceRequests().value(0).target, pages[0]);

        browser.center();
        driver.answerModal([](WindowController *c) { c->window()->findChild<QPushButton *>("btnOK")->click(); });
        QCOMPARE(browser.runModal(), 1);
        QCOMPARE(browser.images(), pages);
        driver.answerModal([](WindowController *c) { c->window()->findChild<QPushButton *>("btnCancel")->click(); });
        QCOMPARE(browser.runModal(), 0);
    }

    void sizeFieldsTakeDigitsAndIgnoreValuesBelowOne()
    {
        ImageBrowser browser;
        browser.showWindow();
        QLineEdit *width = browser.txtWidth();
        width->clear();
        QTest::keyClicks(width, "12a4");
        QCOMPARE(width->text(), QStringLiteral("124"));
        QCOMPARE(browser.pageWidth(), 124.0);
        width->clear();
        QTest::keyClicks(width, "0");
        QCOMPARE(browser.pageWidth(), 124.0);
        browser.txtHeight()->selectAll();
        QTest::keyClicks(browser.txtHeight(), "x7");
        QCOMPARE(browser.pageHeight(), 7.0);
        browser.close();
    }

    void retryOfAPicturePageAsksAndWritesItsOwnFormat()
    {
        QTemporaryDir dir;
        QVERIFY(writePicture(dir.filePath("1.png"), QSize(300, 400), Qt::red));
        QVERIFY(writePicture(dir.filePath("2.png"), QSize(500, 500), Qt::blue));
        const QStringList pages{dir.filePath("1.png"), dir.filePath("2.png")};
        UiTestDriver driver;
        ImageBrowser browser;
        browser.setSWFs(pages);
        browser.setImages(pages);
        browser.setPageWidth(300);
        browser.setPageHeight(400);
        browser.showWindow();

        browser.manageView(0)->btnRetry()->click(); // already the page size: nothing asked
        QVERIFY(driver.alerts().isEmpty());

        driver.answerAlert("Cancel");
        browser.manageView(1)->btnRetry()->click();
        QCOMPARE(driver.alerts().size(), 1);
        QCOMPARE(browser.images(), pages);

        driver.answerAlert("OK");
        browser.manageView(1)->btnRetry()->click();
        const QString made = browser.images()[1];
        QVERIFY(made != pages[1]);
        QCOMPARE(pictureSize(made), QSize(300, 400));
        QCOMPARE(browser.manageView(1)->imageView()->image().size(), QSize(67, 90));

        // Without page sources the pressed button is disabled and nothing happens.
        browser.setSWFs({});
        browser.manageView(0)->btnRetry()->click();
        QVERIFY(!browser.manageView(0)->btnRetry()->isEnabled());
        QVERIFY(browser.manageView(1)->btnRetry()->isEnabled());
        browser.close();
    }

    void snapshotRetryRunsOnAWorkerAndKeepsTheWindowAlive()
    {
        QTemporaryDir dir;
        QVERIFY(writePicture(dir.filePath("made.jpg"), QSize(100, 50), Qt::green));
        QVERIFY(writePicture(dir.filePath("old.jpg"), QSize(50, 100), Qt::red));
        QVERIFY(installFakeHelper(QString("sleep 0.6\ncp %1 \"$OUT\"").arg(dir.filePath("made.jpg"))));
        UiTestDriver driver;
        ImageBrowser browser;
        browser.setSWFs({dir.filePath("1.pdf"), dir.filePath("2.txt")});
        browser.setImages({dir.filePath("old.jpg"), dir.filePath("old2.jpg")});
        QFile::copy(dir.filePath("old.jpg"), dir.filePath("old2.jpg"));
        browser.showWindow();
        QSignalSpy ended(&browser, &ImageBrowser::retryDidEnd);

        browser.manageView(0)->btnRetry()->click();
        QVERIFY(browser.isRetrying());
        QTest::qWait(150); // the event loop runs while the helper works
        QVERIFY(browser.window()->findChild<QProgressBar *>("prgRetry")->isVisible());
        QVERIFY(!button(browser, "btnOK")->isEnabled());
        QVERIFY(!browser.manageView(1)->isEnabled());
        browser.performClose(); // refused while the worker runs
        QVERIFY(browser.window()->isVisible());
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(ended[0][1].toBool(), true);
        QVERIFY(!browser.isRetrying());
        QVERIFY(button(browser, "btnOK")->isEnabled());
        QCOMPARE(browser.images()[0], dir.filePath("old.jpg")); // written in place
        QCOMPARE(pictureSize(dir.filePath("old.jpg")), QSize(100, 50));
        QCOMPARE(browser.manageView(0)->imageView()->image().size(), QSize(90, 45));

        // A page of a kind no snapshot draws: the user is told and the picture stays.
        driver.answerAlert("OK");
        browser.manageView(1)->btnRetry()->click();
        QTRY_COMPARE(ended.size(), 2);
        QCOMPARE(ended[1][1].toBool(), false);
        QCOMPARE(driver.alerts().size(), 1);
        QCOMPARE(pictureSize(dir.filePath("old2.jpg")), QSize(50, 100));
        browser.close();
    }

    void replacementIsScaledAndBadFilesChangeNothing()
    {
        QTemporaryDir dir;
        QVERIFY(writePicture(dir.filePath("tall.png"), QSize(400, 800), Qt::green));
        QVERIFY(TestFiles::writeFile(dir.filePath("junk.png"), "no picture"));
        UiTestDriver driver;
        ImageBrowser browser;
        browser.setImages({dir.filePath("1.jpg"), dir.filePath("2.jpg")});
        browser.showWindow();

        driver.answerPanel({dir.filePath("junk.png")});
        driver.answerAlert("OK");
        browser.manageView(1)->btnReplace()->click();
        QTRY_COMPARE(driver.alerts().size(), 1); // the panel answers after it has closed
        QCOMPARE(browser.images()[1], dir.filePath("2.jpg"));

        driver.answerPanel({dir.filePath("tall.png")});
        browser.manageView(1)->btnReplace()->click();
        QTRY_VERIFY(browser.images()[1] != dir.filePath("2.jpg"));
        const QString made = browser.images()[1];
        QCOMPARE(pictureSize(made), QSize(1080, 2160));
        QCOMPARE(browser.manageView(1)->imageView()->image().size(), QSize(45, 90));
        QCOMPARE(browser.images()[0], dir.filePath("1.jpg"));

        driver.cancelPanel();
        browser.manageView(0)->btnReplace()->click();
        QTest::qWait(50);
        QCOMPARE(browser.images()[0], dir.filePath("1.jpg"));
        browser.close();
    }
};

QV_TEST(ImageBrowserTest)
#include "tst_imagebrowser.moc"
