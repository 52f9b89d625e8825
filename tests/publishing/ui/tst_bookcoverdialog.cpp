#include "MainWindowSteps.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "pages/FlashPage.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/BookCoverSettings.h"
#include "publishing/ui/BookCoverDelegate.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

QList<FlashPagePtr> pictures(const QString &folder, int n)
{
    QList<FlashPagePtr> pages;
    QDir().mkpath(folder);
    for (int i = 1; i <= n; ++i) {
        auto page = std::make_shared<FlashPageImage>();
        page->setPageFilePath(QStringLiteral("%1/%2.jpg").arg(folder).arg(i));
        TestPictures::writePicture(page->pageFilePath(), QSize(300, 400), QColor::fromHsv(i * 90, 200, 200));
        pages << page;
    }
    return pages;
}

// The dialog opened as a sheet on the book's pages, its first render ended.
struct OpenDialog
{
    QTemporaryDir dir;
    UiTestDriver driver;
    QWidget parent;
    BookCoverDelegate dialog;
    int code = -1;

    bool open(int pageCount)
    {
        dialog.setWorkspace(dir.filePath("work"));
        dialog.setPages(pictures(dir.path(), pageCount));
        dialog.beginSheet(&parent, [this](int c) { code = c; });
        QSignalSpy idle(&dialog.renderQueue(), &BookCoverRenderQueue::idle);
        return !dialog.renderQueue().isBusy() || idle.wait(30000);
    }
};

} // namespace

// The book cover dialog driven as a person does, with the real cover maker.
class BookCoverDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void firstUseMakesACoverAndOKWritesItOnlyOnceTheWindowMayClose()
    {
        OpenDialog d;
        QVERIFY(d.open(3));
        auto &[dir, driver, parent, dialog, code] = d;

        // Page 1 is the source, the cover was drawn at once, mode 0 on page 1.
        QCOMPARE(dialog.inputFile(), dir.filePath("1.jpg"));
        QCOMPARE(QImage(dialog.tmpoutputFile()).size(), QSize(1200, 1200));
        QVERIFY(dialog.destImageView()->image() != dialog.grayImage());
        QCOMPARE(control<QLineEdit>(&dialog, "txtPageNumber")->text(), QString("1"));
        QCOMPARE(dialog.outputFile(), BookCoverSettings::defaultOutputFile());

        // No template name: "OK" to the question keeps the window open, and nothing
        // was written yet.
        driver.answerAlert("OK");
        clickControl(&dialog, "btnOK");
        QCOMPARE(code, -1);
        QVERIFY(!QFileInfo::exists(BookCoverSettings::defaultOutputFile()));
        QVERIFY(!QFileInfo::exists(BookCoverSettings::settingFile()));

        driver.answerAlert("Cancel");
        clickControl(&dialog, "btnOK");
        QCOMPARE(code, 1);
        QCOMPARE(readFile(BookCoverSettings::defaultOutputFile()), readFile(dialog.tmpoutputFile()));
        QVERIFY(QFileInfo(BookCoverSettings::defaultConfigFile()).isFile());
        QCOMPARE(BookCoverSettings::load().inputFile, dir.filePath("1.jpg"));
        QVERIFY(driver.failures().isEmpty());
    }

    void modeAndPageNumberStayInsideTheBook()
    {
        OpenDialog d;
        QVERIFY(d.open(2));
        auto &[dir, driver, parent, dialog, code] = d;
        auto *field = control<QLineEdit>(&dialog, "txtPageNumber");

        clickControl(&dialog, "cellInsertPage");
        clickControl(&dialog, "btnLastPage");
        QCOMPARE(field->text(), QString("3"));
        QCOMPARE(dialog.outputIndex(), qint64(2));

        field->clear();
        QTest::keyClicks(field, "1a2");
        QCOMPARE(field->text(), QString("12"));
        QCOMPARE(dialog.outputIndex(), qint64(2)); // after the last page, not beyond
        clickControl(&dialog, "cellReplacePage");
        QCOMPARE(dialog.outputMode(), qint64(1));
        QCOMPARE(dialog.outputIndex(), qint64(1));

        // The same dialog opened on a shorter book keeps its page inside it.
        dialog.setPages(pictures(dir.filePath("short"), 1));
        QCOMPARE(dialog.outputIndex(), qint64(0));
        clickControl(&dialog, "btnCancel");
        QCOMPARE(code, 0);
    }

    void aSavedTemplateClosesWithoutAQuestionAndOKWaitsForTheRender()
    {
        OpenDialog d;
        QVERIFY(d.open(2));
        auto &[dir, driver, parent, dialog, code] = d;
        auto *names = control<QComboBox>(&dialog, "comTemplates");
        names->setEditText("Blue");
        clickControl(&dialog, "btnAddTemplate");
        QCOMPARE(dialog.templates().names(), QStringList({"Blue"}));

        // Another source draws again; OK pressed meanwhile waits for that cover.
        auto *pages = control<QComboBox>(&dialog, "comPages");
        pages->setCurrentIndex(1);
        emit pages->activated(1);
        QVERIFY(dialog.renderQueue().isBusy());
        names->setEditText("Blue");
        clickControl(&dialog, "btnOK");
        QCOMPARE(code, -1);
        QTRY_COMPARE_WITH_TIMEOUT(code, 1, 30000);
        QCOMPARE(dialog.inputFile(), dir.filePath("2.jpg"));
        QCOMPARE(readFile(dialog.outputFile()), readFile(dialog.tmpoutputFile()));
        QVERIFY(driver.alerts().isEmpty());
    }
};

QV_TEST(BookCoverDialogTest)
#include "tst_bookcoverdialog.moc"
