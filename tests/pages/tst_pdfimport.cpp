#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/InputLimits.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/PDFSearch.h"
#include "pages/PageImaging.h"
#include "pages/PageImport.h"
#include "pages/PageNotifications.h"
#include "platform/NotificationCenter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

using namespace TestFiles;
using TestPictures::pictureSize;

namespace {

ImportParament pdfParament(const QString &file)
{
    ImportParament p;
    p.sourceFiles = {file};
    return p;
}

} // namespace

class PdfImportTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void importsPagesOutlineAndText()
    {
        const QString pdf = path("book.pdf");
        QVERIFY(PdfFixtures::writePdf(pdf, {{"Alpha first"}, {"Bravo second"}, {"Charlie third"}}));
        QVERIFY(PdfFixtures::addOutline(pdf, {{"Chapter 1", 0, {}, {{"Section 1.1", 1, {}, {{"Deep", 2}}}}},
                                              {"Chapter 2", 2, {}, {}, -1, "chapter.two"},
                                              {"Web site", 0, "https://example.com/"}}));
        const QString workspace = path("book/pages");

        QObject observer;
        QList<QVariantMap> progress;
        NotificationCenter::defaultCenter()->addObserver(&observer, ImportProgressInfoMSG, nullptr,
                                                         [&](const Notification &n) { progress << n.userInfo; });
        PageImport import(pdfParament(pdf), workspace);
        import.setIdentifier("job-1");
        QVERIFY2(import.run(), qPrintable(import.result().message));

        const auto source = import.pageSource();
        QCOMPARE(source->sourceType(), QString("pdf"));
        QCOMPARE(source->pageCount(), 3);
        QCOMPARE(TestPictures::missingPagePictures(*source), QStringList());
        // One render at 216 dpi: A4 is 595 x 842 points.
        const QSize large = pictureSize(source->pages()[0]->pageFilePath());
        QVERIFY2(qAbs(large.width() - 1785) <= 2 && qAbs(large.height() - 2526) <= 2,
                 qPrintable(QString("%1x%2").arg(large.width()).arg(large.height())));
        const QSize normal = pictureSize(source->normalPages()[0]->pageFilePath());
        QCOMPARE(normal.height(), 1440);
        QVERIFY(normal.width() <= 1080);
        QCOMPARE(pictureSize(source->thumbPages()[0]->pageFilePath()).height(), 200);
        QVERIFY(pictureSize(source->phonePages()[0]->pageFilePath()).width() <= 1080);
        // A rendered page is white paper with black text, not an empty picture.
        const QImage page(source->pages()[0]->pageFilePath());
        QCOMPARE(QColor(page.pixel(page.width() - 60, page.height() - 60)).lightness() > 240, true);

        const auto outline = import.outline();
        QCOMPARE(outline->items().size(), 3);
        const auto chapter1 = outline->items()[0];
        QCOMPARE(chapter1->caption(), QString("Chapter 1"));
        QCOMPARE(chapter1->pageIndex(), 1);
        QCOMPARE(chapter1->childItems().size(), 1);
        const auto section = chapter1->childItems()[0];
        QCOMPARE(section->pageIndex(), 2);
        QCOMPARE(section->childItems()[0]->caption(), QString("Deep"));
        QCOMPARE(section->childItems()[0]->pageIndex(), 3);
        QCOMPARE(outline->items()[1]->pageIndex(), 3); // through a named destination
        QCOMPARE(outline->items()[2]->pageUrl(), QString("https://example.com/"));
        QCOMPARE(outline->items()[2]->pageIndex(), 0);

        QCOMPARE(import.pdfSearch()->pageCount(), 3);
        // The "fi" ligature the text was set with is spelt out for search.
        QVERIFY(import.pdfSearch()->pageText(1).contains("Alpha first"));
        QVERIFY(import.pdfSearch()->pageText(3).contains("Charlie third"));
        QCOMPARE(*import.mobileSearch(), *import.pdfSearch());

        QTRY_COMPARE(progress.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(progress[i].value("index").toInt(), i + 1);
            QCOMPARE(progress[i].value("count").toInt(), 3);
            QCOMPARE(progress[i].value("id").toString(), QString("job-1"));
        }
        // Only the four picture folders remain; no staging folder beside them.
        QCOMPARE(QDir(path("book")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"pages"});
    }

    void passwordsAreCheckedAndReportedDistinctly()
    {
        const QString plain = path("plain.pdf"), locked = path("locked.pdf");
        QVERIFY(PdfFixtures::writePdf(plain, {{"Secret text"}}));
        QVERIFY(PdfFixtures::encrypt(plain, locked, "s3cret", "owner"));
        const QString workspace = path("locked/pages");

        ImportParament p = pdfParament(locked);
        PageImport none(p, workspace);
        QVERIFY(!none.run());
        QCOMPARE(none.result().error, PageError::PasswordNeeded);
        QVERIFY(!none.pageSource());

        p.strPassword = "wrong";
        PageImport wrong(p, workspace);
        QVERIFY(!wrong.run());
        QCOMPARE(wrong.result().error, PageError::WrongPassword);
        QVERIFY(wrong.result().message.contains("locked.pdf"));
        QVERIFY(!QFileInfo::exists(workspace));

        p.strPassword = "s3cret";
        PageImport right(p, workspace);
        QVERIFY2(right.run(), qPrintable(right.result().message));
        QCOMPARE(right.pageSource()->pageCount(), 1);
        QVERIFY(right.pdfSearch()->pageText(1).contains("Secret text"));
        // The password stays in memory; it is never written with the project.
        QVERIFY(!right.pageSource()->toXmlString().contains("s3cret"));
    }

    void damagedFilesFailWithoutTouchingTheWorkspace()
    {
        const QString good = path("good.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(good, 2));
        const QString workspace = path("kept/pages");
        {
            PageImport first(pdfParament(good), workspace);
            QVERIFY(first.run());
        }
        const QStringList before = folderListing(path("kept"));

        const QByteArray bytes = readFile(good);
        QVERIFY(!bytes.isEmpty());
        QVERIFY(writeFile(path("truncated.pdf"), bytes.left(300)));
        QVERIFY(writeFile(path("garbage.pdf"), QByteArray(4000, 'x')));

        for (const QString &bad : {path("truncated.pdf"), path("garbage.pdf")}) {
            PageImport import(pdfParament(bad), workspace);
            QVERIFY(!import.run());
            QCOMPARE(import.result().error, PageError::DamagedFile);
            QVERIFY(!import.result().message.isEmpty());
            QCOMPARE(folderListing(path("kept")), before);
        }
        PageImport missing(pdfParament(path("nowhere.pdf")), workspace);
        QVERIFY(!missing.run());
        QCOMPARE(missing.result().error, PageError::FileNotFound);
        QCOMPARE(folderListing(path("kept")), before);
    }

    void pageRangesPickPagesAndMapBookmarks()
    {
        const QString pdf = path("six.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 6));
        QVERIFY(PdfFixtures::addOutline(pdf, {{"On four", 3}, {"On six", 5}, {"On one", 0}}));
        ImportParament p = pdfParament(pdf);
        p.strPageRange = "2-3, 5-";
        p.iQualityLevel = 2;
        PageImport import(p, path("six/pages"));
        QVERIFY2(import.run(), qPrintable(import.result().message));
        QCOMPARE(import.pageSource()->pageCount(), 4);
        QStringList texts;
        for (const QString &t : import.pdfSearch()->pageTexts())
            texts << t.trimmed();
        QCOMPARE(texts, (QStringList{"Page 2", "Page 3", "Page 5", "Page 6"}));
        // Level 2 renders at 120 dpi.
        QVERIFY(qAbs(pictureSize(import.pageSource()->pages()[0]->pageFilePath()).width() - 992) <= 2);
        // Page 4 was left out: its bookmark opens the next page kept (source page 5,
        // book page 3); page 1 was left out too and nothing precedes it.
        const auto &items = import.outline()->items();
        QCOMPARE(items[0]->pageIndex(), 3);
        QCOMPARE(items[1]->pageIndex(), 4);
        QCOMPARE(items[2]->pageIndex(), 1);

        p.strPageRange = "7-9";
        PageImport outside(p, path("outside/pages"));
        QVERIFY(!outside.run());
        QCOMPARE(outside.result().error, PageError::BadPageRange);
        p.strPageRange = "two";
        PageImport words(p, path("outside/pages"));
        QVERIFY(!words.run());
        QCOMPARE(words.result().error, PageError::BadPageRange);
        QVERIFY(!QFileInfo::exists(path("outside/pages")));
    }

    void widePagesAreSplitFromOneRender()
    {
        const QString pdf = path("wide.pdf");
        QVERIFY(PdfFixtures::writePdf(pdf, {{"Cover"},
                                            {"LEFTSIDE", QSizeF(842, 595), "RIGHTSIDE"},
                                            {"Back"}}));
        QVERIFY(PdfFixtures::addOutline(pdf, {{"Spread right", 1, {}, {}, 600}, {"Back", 2}}));

        ImportParament p = pdfParament(pdf);
        p.iWidePageMode = 1;
        PageImport detect(p, path("wide1/pages"));
        QVERIFY2(detect.run(), qPrintable(detect.result().message));
        const auto source = detect.pageSource();
        QCOMPARE(source->pageCount(), 4);
        QCOMPARE(TestPictures::missingPagePictures(*source), QStringList());
        const QSize cover = pictureSize(source->pages()[0]->pageFilePath());
        const QSize left = pictureSize(source->pages()[1]->pageFilePath());
        const QSize right = pictureSize(source->pages()[2]->pageFilePath());
        QCOMPARE(left.height(), cover.width()); // the spread is A4 landscape
        QVERIFY(qAbs(left.width() + right.width() - cover.height()) <= 2);
        QCOMPARE(source->pages()[1]->sourcePart(), FlashPage::Part::Left);
        QCOMPARE(source->pages()[2]->sourcePart(), FlashPage::Part::Right);
        QVERIFY(detect.pdfSearch()->pageText(2).contains("LEFTSIDE"));
        QVERIFY(!detect.pdfSearch()->pageText(2).contains("RIGHTSIDE"));
        QVERIFY(detect.pdfSearch()->pageText(3).contains("RIGHTSIDE"));
        QCOMPARE(detect.outline()->items()[0]->pageIndex(), 3); // points into the right half
        QCOMPARE(detect.outline()->items()[1]->pageIndex(), 4);

        // Every page split, or none.
        for (const auto &[mode, count] : {std::pair{2, 6}, std::pair{0, 3}}) {
            p.iWidePageMode = mode;
            PageImport other(p, path(QString("wide%1/pages").arg(mode)));
            QVERIFY(other.run());
            QCOMPARE(other.pageSource()->pageCount(), count);
            QCOMPARE(TestPictures::missingPagePictures(*other.pageSource()), QStringList());
        }
    }

    void rotatedPagesAreSplitAsShown()
    {
        // A portrait page turned a quarter shows wide; a spread turned upside down
        // shows its right side on the left.
        const QString pdf = path("turned.pdf");
        QVERIFY(PdfFixtures::writePdf(pdf, {{"Cover"}, {"LEFTSIDE", QSizeF(842, 595), "RIGHTSIDE"}}));
        QVERIFY(PdfFixtures::rotatePage(pdf, 0, 90));
        QVERIFY(PdfFixtures::rotatePage(pdf, 1, 180));
        ImportParament p = pdfParament(pdf);
        p.iWidePageMode = 1;
        p.iQualityLevel = 2;
        PageImport import(p, path("turned/pages"));
        QVERIFY2(import.run(), qPrintable(import.result().message));
        QCOMPARE(import.pageSource()->pageCount(), 4);
        for (int i = 0; i < 4; ++i) {
            const QSize half = pictureSize(import.pageSource()->pages()[i]->pageFilePath());
            QVERIFY2(qAbs(half.width() - 702) <= 2 && qAbs(half.height() - 992) <= 2,
                     qPrintable(QString("page %1: %2x%3").arg(i + 1).arg(half.width()).arg(half.height())));
        }
        // The text drawn at the top left of the turned page is now at its top right.
        QVERIFY(!import.pdfSearch()->pageText(1).contains("Cover"));
        QVERIFY(import.pdfSearch()->pageText(2).contains("Cover"));
        QVERIFY(import.pdfSearch()->pageText(3).contains("RIGHTSIDE"));
        QVERIFY(!import.pdfSearch()->pageText(3).contains("LEFTSIDE"));
        QVERIFY(import.pdfSearch()->pageText(4).contains("LEFTSIDE"));
    }

    void textOfPagesWithAnOffsetVisibleArea()
    {
        // Pages whose crop box does not start at 0, 0 (trimmed print pages, one half
        // of a spread) keep their text.
        const QString pdf = path("cropped.pdf");
        QVERIFY(PdfFixtures::writePdf(pdf, {{"LEFTSIDE", QSizeF(842, 595), "RIGHTSIDE"}}));
        QVERIFY(PdfFixtures::cropPage(pdf, 0, QRectF(421, 0, 421, 595)));
        ImportParament p = pdfParament(pdf);
        p.iQualityLevel = 2;
        PageImport import(p, path("cropped/pages"));
        QVERIFY(import.run());
        QCOMPARE(import.pdfSearch()->pageText(1).trimmed(), QString("RIGHTSIDE"));
    }

    void cancelLeavesNothingBehind()
    {
        const QString pdf = path("long.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 60));
        const QString workspace = path("cancel/pages");
        ImportParament p = pdfParament(pdf);
        p.iQualityLevel = 2;
        PageImport import(p, workspace);
        import.setThreadCount(2);
        QObject observer;
        int seen = 0;
        NotificationCenter::defaultCenter()->addObserver(&observer, ImportProgressInfoMSG, &import,
                                                         [&](const Notification &n) {
                                                             seen = n.userInfo.value("index").toInt();
                                                             import.stop();
                                                         });
        QFuture<bool> running = QtConcurrent::run([&] { return import.run(); });
        QTRY_VERIFY(running.isFinished());
        QVERIFY(!running.result());
        QVERIFY(seen > 0);
        QCOMPARE(import.result().error, PageError::Cancelled);
        QVERIFY(!import.pageSource());
        QVERIFY(!QFileInfo::exists(workspace));
        QCOMPARE(folderListing(path("cancel")), QStringList());
    }

    void reimportReplacesTheWorkspaceOnlyOnSuccess()
    {
        const QString two = path("two.pdf"), five = path("five.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(two, 2));
        QVERIFY(PdfFixtures::writeNumberedPdf(five, 5));
        const QString workspace = path("again/pages");
        ImportParament p = pdfParament(five);
        p.iQualityLevel = 2;
        {
            PageImport import(p, workspace);
            QVERIFY(import.run());
        }
        p.sourceFiles = {two};
        PageImport second(p, workspace);
        QVERIFY(second.run());
        QCOMPARE(second.pageSource()->pageCount(), 2);
        // The old pictures 3..5 are gone with the old workspace; nothing is left beside it.
        QVERIFY(!QFileInfo::exists(workspace + "/large/3.jpg"));
        QCOMPARE(QDir(path("again")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"pages"});
    }

    // Bookmarks 20,000 levels deep: the import says so at once instead of working
    // for minutes or running the stack out, and leaves nothing behind.
    void deepBookmarksAreRefusedAtOnce()
    {
        const QString pdf = path("deep.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 2));
        QVERIFY(PdfFixtures::addDeepOutline(pdf, 20000));
        PageImport import(pdfParament(pdf), path("deep/pages"));
        QVERIFY(!import.run());
        QCOMPARE(import.result().error, PageError::DamagedFile);
        QVERIFY2(import.result().message.contains("nested deeper"), qPrintable(import.result().message));
        QVERIFY(!QFileInfo::exists(path("deep")));

        // As deep as the limit is fine.
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 2));
        QVERIFY(PdfFixtures::addDeepOutline(pdf, InputLimits::kMaxNesting));
        PageImport fine(pdfParament(pdf), path("fine/pages"));
        QVERIFY2(fine.run(), qPrintable(fine.result().message));
        FlashOutlineItemPtr item = fine.outline()->items().value(0);
        for (int level = 1; level < InputLimits::kMaxNesting; ++level)
            item = item->childItems().value(0);
        QCOMPARE(item->level(), InputLimits::kMaxNesting);
        QCOMPARE(item->caption(), QString("level %1").arg(InputLimits::kMaxNesting));
    }

    // A page as long as a paper strip is scaled to the longest side a JPEG picture can
    // have, not refused as if the disk were full.
    void stripPagesFitIntoAPicture()
    {
        const QString pdf = path("strip.pdf");
        QVERIFY(PdfFixtures::writePdf(pdf, {{"Strip", QSizeF(1, 200000)}}));
        PageImport import(pdfParament(pdf), path("strip/pages"));
        QVERIFY2(import.run(), qPrintable(import.result().message));
        const QSize large = pictureSize(import.pageSource()->pages()[0]->pageFilePath());
        QVERIFY2(large.height() <= PageImaging::kMaxPictureSide && large.height() > 60000,
                 qPrintable(QString("%1x%2").arg(large.width()).arg(large.height())));
        QVERIFY(large.width() >= 1);
        QVERIFY(!pictureSize(import.pageSource()->thumbPages()[0]->pageFilePath()).isEmpty());
    }

    void posterPagesAreRenderedWithinTheMemoryLimit()
    {
        const QString pdf = path("poster.pdf");
        QVERIFY(PdfFixtures::writePdf(pdf, {{"Poster", QSizeF(72 * 100, 72 * 100)}}));
        PageImport import(pdfParament(pdf), path("poster/pages"));
        QVERIFY2(import.run(), qPrintable(import.result().message));
        const QSize large = pictureSize(import.pageSource()->pages()[0]->pageFilePath());
        QVERIFY(qint64(large.width()) * large.height() <= PageImaging::kMaxRenderPixels);
        QVERIFY(large.width() > 5000); // lowered, not thrown away
    }
};

QV_TEST(PdfImportTest)
#include "tst_pdfimport.moc"
