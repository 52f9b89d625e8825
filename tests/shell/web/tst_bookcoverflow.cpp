#include "EditorSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "pages/FlashPageSource.h"
#include "project/BookDocument.h"
#include "publishing/ui/BookCoverDelegate.h"
#include "shell/BookSession.h"

#include <QComboBox>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

// A cover made from the main window's Additions menu, inserted as the first page, saved
// in the project, reopened and published as a web folder: page 1 of the book is the cover, and so is the publish
// dialog's cover shot. QUORVEL_BOOK_OUT names the folder to publish into (the browser
// test reads the book there).
class BookCoverFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void aCoverInsertedAsThefirstPageIsPublished()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Almanac.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 3));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        const QString firstPage = app.session()->document().pageSource()->normalPages().first()->pageFilePath();

        QVERIFY(makeCover(app, "cellInsertPage", "Almanac"));
        BookCoverDelegate *dialog = app.bookCoverDelegate();
        QVERIFY(QFileInfo(dialog->tmpoutputFile()).isFile());

        // The book has the cover as its first page and as its cover picture.
        const BookDocument &document = app.session()->document();
        const QString cover = document.parts().coverFile();
        QCOMPARE(readFile(cover), readFile(dialog->outputFile()));
        QCOMPARE(document.pageSource()->pageCount(), 4);
        QCOMPARE(document.pageSource()->normalPages().at(1)->pageFilePath(), firstPage);
        const QImage page1(document.pageSource()->normalPages().first()->pageFilePath());
        const QImage made(cover);
        QVERIFY(qAbs(qGray(page1.pixel(4, 4)) - qGray(made.pixel(4, 4))) < 24);
        QVERIFY(app.session()->isModified());

        // Saved and opened again, the book keeps its cover (the browser test reads its pages).
        const QByteArray coverBytes = readFile(cover);
        const QString project = dir.filePath("Almanac.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        QVERIFY(app.openProject(project));
        const BookDocument &reopened = app.session()->document();
        const QString kept = reopened.parts().coverFile();
        QVERIFY(kept.startsWith(dir.filePath("Almanac.qvprj.data/")));
        QCOMPARE(readFile(kept), coverBytes);

        QVERIFY(publishWebFolder(app, driver, out, "Almanac", "The Almanac", 120000));
        QCOMPARE(app.publishCommand()->publishDialog()->shotFile(), kept);
        QCOMPARE(readFile(out + "/files/shot.png"), coverBytes);
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(BookCoverFlowTest)
#include "tst_bookcoverflow.moc"
