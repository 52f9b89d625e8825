#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSourceImg.h"
#include "publishing/PhonePageRun.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace TestFiles;

class PhonePageRunTest : public QObject
{
    Q_OBJECT
private slots:
    void everyPictureStaysWithItsPage()
    {
        QTemporaryDir dir;
        FlashPageSourceImg source;
        for (const char *name : {"2.jpg", "4.jpg", "old.jpg"})
            QVERIFY(writeFile(dir.filePath(name), "picture"));
        auto kept = std::make_shared<FlashPageImage>();
        kept->setPageFilePath(dir.filePath("old.jpg"));
        source.phonePages() << nullptr << kept;

        // Page 1 has no picture, page 3's is gone: their places stay empty, so the
        // pictures of pages 2 and 4 (and nothing after them) stay where they belong.
        const QStringList pictures{"", dir.filePath("old.jpg"), dir.filePath("gone.jpg"), dir.filePath("4.jpg"), ""};
        QCOMPARE(PhonePageRun::placePhonePages(source, pictures), 2);
        const QList<FlashPagePtr> &phone = source.phonePages();
        QCOMPARE(phone.size(), 4);
        QVERIFY(!phone.at(0) && !phone.at(2));
        QVERIFY(phone.at(1) == kept); // a picture the page had is kept as it was
        QCOMPARE(phone.at(3)->pageFilePath(), dir.filePath("4.jpg"));
        QCOMPARE(phone.at(3)->pageIndex(), 4);
        QCOMPARE(PhonePageRun::phonePictures(source), QStringList({"", dir.filePath("old.jpg"), "", dir.filePath("4.jpg")}));

        QCOMPARE(PhonePageRun::placePhonePages(source, {"", dir.filePath("gone.jpg")}), 0);
        QVERIFY(source.phonePages().isEmpty());
    }

    void picturesAreMadeOnAWorkerAndReportedOnTheMainThread()
    {
        PhonePageRun run;
        QThread *worker = nullptr;
        run.setSnapshots([&](const QStringList &pages, const QString &workspace, qint64 width, qint64 height) {
            worker = QThread::currentThread();
            QStringList made;
            for (int i = 0; i < pages.size(); ++i) {
                made << QStringLiteral("%1/%2.jpg").arg(workspace).arg(i + 1);
                writeFile(made.last(), QByteArray::number(width) + "x" + QByteArray::number(height));
            }
            return made;
        });
        QVERIFY(!run.start({}, QSizeF(100, 100)));
        QVERIFY(!run.start({"a.swf"}, QSizeF(0.5, 100)));

        QSignalSpy snapped(&run, &PhonePageRun::snapped);
        QVERIFY(run.start({"a.swf", "b.swf"}, QSizeF(120.7, 160.2)));
        QVERIFY(run.isRunning());
        QVERIFY(!run.start({"c.swf"}, QSizeF(100, 100))); // one run at a time
        QVERIFY(snapped.wait(10000));
        QVERIFY(worker && worker != QThread::currentThread());
        const QStringList pictures = snapped.first().first().toStringList();
        QCOMPARE(pictures.size(), 2);
        QCOMPARE(readFile(pictures.at(1)), QByteArray("120x160"));

        // Nothing of it kept: the run's folder goes; a picture kept: it stays for the book.
        const QString folder = run.workspace();
        run.finish({"/elsewhere/1.jpg", ""});
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(run.start({"a.swf"}, QSizeF(10, 10)));
        QVERIFY(snapped.wait(10000));
        const QString kept = snapped.last().first().toStringList().first();
        run.finish({"", kept});
        QVERIFY(QFileInfo(kept).isFile());
        QVERIFY(removeTree(QFileInfo(kept).path()));
    }
};

QV_TEST(PhonePageRunTest)
#include "tst_phonepagerun.moc"
