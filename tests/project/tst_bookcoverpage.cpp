#include "ProjectFixtures.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "annotations/FlashPagesAnnotations.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "project/BookCoverPage.h"
#include "project/BookDocument.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

// A cover put into a book as a page: everything that belongs to the later pages moves
// with them.
class BookCoverPageTest : public QObject
{
    Q_OBJECT
private slots:
    void anInsertedCoverMovesTheLaterPagesOn()
    {
        QTemporaryDir dir;
        auto document = ProjectFixtures::importedBook(ProjectFixtures::writePictures(dir.filePath("in"), 3));
        QVERIFY(document);
        FlashPageSource &source = *document->pageSource();
        const QString oldFirst = source.normalPages().first()->pageFilePath();
        document->setPdfSearch(std::make_shared<PDFSearch>(QStringList{"one", "two", "three"}));
        document->pagesAnnotations()->setPageAnnotations(0, "<link page=\"1\"/>");
        document->flashOutline()->appendItem(FlashOutlineItem::create("Start", 1));
        document->flashOutline()->appendItem(FlashOutlineItem::create("Web", 0));
        document->parts().bookmarkTabs()->TabItems() << BookMarkTabItem::tabItemWithCaption("End", Qt::red, 3);

        TestPictures::writePicture(dir.filePath("cover.png"), QSize(300, 400), QColor(0x11, 0x88, 0xEE));
        BookCoverPage::Pictures pictures;
        QVERIFY(BookCoverPage::makePictures(dir.filePath("cover.png"), dir.filePath("cover"), 2, source.normalPageSize(),
                                            &pictures).ok());
        QVERIFY(BookCoverPage::placePage(*document, BookCoverPage::Placement::Insert, 0, pictures));

        QCOMPARE(source.pageCount(), 4);
        for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
            QCOMPARE(source.pageList(kind).size(), 4);
            QCOMPARE(source.pageList(kind).at(1)->pageIndex(), 2);
        }
        // The cover's colour, as far as JPEG keeps it.
        const QColor shown = QImage(source.normalPages().first()->pageFilePath()).pixelColor(10, 10);
        QVERIFY2(qAbs(shown.red() - 0x11) <= 6 && qAbs(shown.green() - 0x88) <= 6 && qAbs(shown.blue() - 0xEE) <= 6,
                 qPrintable(shown.name()));
        QCOMPARE(source.normalPages().at(1)->pageFilePath(), oldFirst);
        QCOMPARE(document->pdfSearch()->pageTexts(), QStringList({"", "one", "two", "three"}));
        QCOMPARE(document->pagesAnnotations()->pageAnnotations(1), QString("<link page=\"1\"/>"));
        QCOMPARE(document->flashOutline()->items().at(0)->pageIndex(), 2);
        QCOMPARE(document->flashOutline()->items().at(1)->pageIndex(), 0);
        QCOMPARE(document->parts().bookmarkTabs()->TabItems().first().pageIndex(), qint64(4));
    }

    void aReplacedPageLosesItsTextAndAnOutsideIndexChangesNothing()
    {
        QTemporaryDir dir;
        auto document = ProjectFixtures::importedBook(ProjectFixtures::writePictures(dir.filePath("in"), 2));
        QVERIFY(document);
        document->setPdfSearch(std::make_shared<PDFSearch>(QStringList{"one", "two"}));
        TestPictures::writePicture(dir.filePath("cover.png"), QSize(300, 400), Qt::yellow);
        BookCoverPage::Pictures pictures;
        QVERIFY(BookCoverPage::makePictures(dir.filePath("cover.png"), dir.filePath("cover"), 2,
                                            document->pageSource()->normalPageSize(), &pictures).ok());

        QVERIFY(!BookCoverPage::placePage(*document, BookCoverPage::Placement::Replace, 2, pictures));
        QVERIFY(!BookCoverPage::placePage(*document, BookCoverPage::Placement::Insert, 3, pictures));
        QCOMPARE(document->pageSource()->pageCount(), 2);

        QVERIFY(BookCoverPage::placePage(*document, BookCoverPage::Placement::Replace, 1, pictures));
        QCOMPARE(document->pageSource()->pageCount(), 2);
        QCOMPARE(document->pageSource()->phonePages().at(1)->pageFilePath(), pictures.phone);
        QCOMPARE(document->pdfSearch()->pageTexts(), QStringList({"one", ""}));
    }
};

QV_TEST(BookCoverPageTest)
#include "tst_bookcoverpage.moc"
