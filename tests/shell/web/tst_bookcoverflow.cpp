#include "EditorSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "pages/FlashPageSource.h"
#include "project/BookDocument.h"
#include "publishing/ui/BookCoverDelegate.h"
#include "shell/BookSession.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
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
        // It shows the page it was made from, now the second, and is the first itself.
        QCOMPARE(reopened.parts().coverPages(), std::optional<QList<int>>(QList<int>{2, 1}));

        QVERIFY(publishWebFolder(app, driver, out, "Almanac", "The Almanac", 120000));
        QCOMPARE(app.publishCommand()->publishDialog()->shotFile(), kept);
        QCOMPARE(readFile(out + "/files/shot.png"), coverBytes);
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }

    void aCoverOfAProtectedPageIsNeverPublishedInTheClear()
    {
        // Every page protected; the cover made from page 1 as the book's cover picture
        // only: the published book has no share picture, and no file of it holds the
        // cover (the publish dialog offers it as the cover shot all the same).
        QTemporaryDir dir;
        const QString pdf = dir.filePath("Ledger.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 3));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        protectWithPassword(app, driver, "cover secret");

        QVERIFY(makeCover(app, "cellCoverOnly", "Ledger"));
        const QString cover = app.session()->document().parts().coverFile();
        QCOMPARE(app.session()->document().parts().coverPages(), std::optional<QList<int>>(QList<int>{1}));

        const QString out = dir.filePath("published");
        QVERIFY(publishWebFolder(app, driver, out, "Ledger", "The Ledger", 120000));
        QCOMPARE(app.publishCommand()->publishDialog()->shotFile(), cover);
        QVERIFY(QDir(out + "/files").entryList({"shot.*"}).isEmpty());
        QVERIFY(readText(out + "/Ledger.html").contains("<meta property=\"og:image\" content=\"\">"));
        const QByteArray made = readFile(cover);
        QVERIFY(made.size() > 1000);
        QDirIterator it(out, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            QVERIFY2(!readFile(it.next()).contains(made.mid(made.size() / 2, 256)), qPrintable(it.filePath()));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(BookCoverFlowTest)
#include "tst_bookcoverflow.moc"
