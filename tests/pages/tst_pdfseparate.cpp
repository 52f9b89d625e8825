#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "pages/PDFSeparate.h"
#include "pages/PageNotifications.h"
#include "platform/NotificationCenter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>
#include <poppler-qt6.h>

namespace {

// The text of a one-page document; the rectangle is given because poppler measures
// an empty one wrongly for pages whose visible area does not start at 0, 0.
QString textOf(const Poppler::Document &doc)
{
    const auto page = doc.page(0);
    return page->text(QRectF(QPointF(0, 0), page->pageSizeF()));
}

} // namespace

class PDFSeparateTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QStringList pdfFiles(const QString &folder)
    {
        QStringList files = QDir(folder).entryList({"*"}, QDir::Files | QDir::Hidden);
        std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
            return a.section('.', 0, 0).toInt() < b.section('.', 0, 0).toInt();
        });
        return files;
    }

private slots:
    void writesOnePageFilePerPageWithProgress()
    {
        const QString pdf = path("ten.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 10));
        PDFSeparate separate;
        separate.setPdfFile(pdf);
        separate.setPageRange("3-7");
        separate.setIdentifier("run-7");
        separate.setWorkspace(path("split"));

        QObject observer;
        QList<int> indexes;
        NotificationCenter::defaultCenter()->addObserver(
            &observer, DownloadConfigNotification, &separate, [&](const Notification &n) {
                QCOMPARE(n.userInfo.value("count").toInt(), 5);
                QCOMPARE(n.userInfo.value("id").toString(), QString("run-7"));
                indexes << n.userInfo.value("index").toInt();
            });
        QCOMPARE(separate.start(), 0);
        QCOMPARE(separate.PDFPageCount(), 5);
        QCOMPARE(pdfFiles(path("split")), (QStringList{"1.pdf", "2.pdf", "3.pdf", "4.pdf", "5.pdf"}));
        QTRY_COMPARE(indexes.size(), 5);
        std::sort(indexes.begin(), indexes.end());
        QCOMPARE(indexes, (QList<int>{1, 2, 3, 4, 5}));

        // Each file is the one page it is named after (book page 1 is source page 3).
        for (int n = 1; n <= 5; ++n) {
            auto doc = Poppler::Document::load(path("split/%1.pdf").arg(n));
            QVERIFY(doc);
            QCOMPARE(doc->numPages(), 1);
            QCOMPARE(textOf(*doc).trimmed(), QString("Page %1").arg(n + 2));
        }
        // Page files carry only their own page, not the whole document.
        QVERIFY(QFileInfo(path("split/1.pdf")).size() < QFileInfo(pdf).size());

        // A stop that comes before the start (a cancel just before it) holds.
        PDFSeparate stopped;
        stopped.setPdfFile(pdf);
        stopped.setWorkspace(path("stopped-split"));
        stopped.stop();
        QCOMPARE(stopped.start(), 10);
        QVERIFY(pdfFiles(path("stopped-split")).isEmpty());
    }

    void splitsWidePagesIntoHalves()
    {
        const QString pdf = path("spread.pdf");
        QVERIFY(PdfFixtures::writePdf(pdf, {{"Cover"}, {"LEFTSIDE", QSizeF(842, 595), "RIGHTSIDE"}}));
        QVERIFY(PdfFixtures::rotatePage(pdf, 0, 90)); // shown as 842 x 595, so wide as well
        PDFSeparate separate;
        separate.setPdfFile(pdf);
        separate.setDetectWidePage(1);
        separate.setWorkspace(path("spread-split"));
        QCOMPARE(separate.start(), 0);
        QCOMPARE(separate.PDFPageCount(), 4);
        for (int n = 1; n <= 4; ++n) {
            auto doc = Poppler::Document::load(path("spread-split/%1.pdf").arg(n));
            QVERIFY(doc);
            const QSizeF size = doc->page(0)->pageSizeF();
            QVERIFY2(qAbs(size.width() - 421) < 1 && qAbs(size.height() - 595) < 1,
                     qPrintable(QString("page %1: %2 x %3").arg(n).arg(size.width()).arg(size.height())));
        }
        auto left = Poppler::Document::load(path("spread-split/3.pdf"));
        auto right = Poppler::Document::load(path("spread-split/4.pdf"));
        QVERIFY(textOf(*left).contains("LEFTSIDE"));
        QVERIFY(!textOf(*left).contains("RIGHTSIDE"));
        QVERIFY(textOf(*right).contains("RIGHTSIDE"));
    }

    void protectedPdfNeedsItsPassword()
    {
        const QString plain = path("p.pdf"), locked = path("p-locked.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(plain, 2));
        QVERIFY(PdfFixtures::encrypt(plain, locked, "pw", "owner"));
        PDFSeparate without;
        without.setPdfFile(locked);
        without.setWorkspace(path("locked-none"));
        QCOMPARE(without.start(), -1);
        QVERIFY(!without.errorString().isEmpty());

        PDFSeparate with;
        with.setPdfFile(locked);
        with.setPassword("pw");
        with.setWorkspace(path("locked-ok"));
        QCOMPARE(with.start(), 0);
        // The single pages stay protected like their document.
        auto doc = Poppler::Document::load(path("locked-ok/1.pdf"));
        QVERIFY(doc && doc->isLocked());
        QVERIFY(!doc->unlock("pw", "pw"));
    }

    void unusableInputGivesMinusOne()
    {
        QVERIFY(TestFiles::writeFile(path("junk.pdf"), "%PDF-1.4 nothing else"));
        PDFSeparate separate;
        separate.setPdfFile(path("junk.pdf"));
        QCOMPARE(separate.start(), -1);
        QCOMPARE(separate.PDFPageCount(), 0);

        QVERIFY(PdfFixtures::writeNumberedPdf(path("three.pdf"), 3));
        separate.setPdfFile(path("three.pdf"));
        separate.setPageRange("4-");
        QCOMPARE(separate.start(), -1);
    }

    void stopLeavesMissingPagesCounted()
    {
        const QString pdf = path("many.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 400));
        PDFSeparate separate;
        separate.setPdfFile(pdf);
        QVERIFY(separate.workspace().isEmpty());
        QObject observer;
        NotificationCenter::defaultCenter()->addObserver(&observer, DownloadConfigNotification, &separate,
                                                         [&](const Notification &) { separate.stop(); });
        QFuture<int> running = QtConcurrent::run([&] { return separate.start(); });
        QTRY_VERIFY(running.isFinished());
        const int missing = running.result();
        QVERIFY2(missing > 0 && missing < 400, qPrintable(QString::number(missing)));
        // A temporary workspace was made, and every file in it is a whole page file.
        QVERIFY(!separate.workspace().isEmpty());
        const QStringList files = pdfFiles(separate.workspace());
        QCOMPARE(files.size(), 400 - missing);
        for (const QString &f : files)
            QVERIFY2(f.endsWith(".pdf"), qPrintable(f));
        QDir(separate.workspace()).removeRecursively();
    }
};

QV_TEST(PDFSeparateTest)
#include "tst_pdfseparate.moc"
