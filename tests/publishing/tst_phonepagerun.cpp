#include "TestFiles.h"
#include "TestSupport.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSourceImg.h"
#include "publishing/PhonePageRun.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

class PhonePageRunTest : public QObject
{
    Q_OBJECT
private slots:
    void everyPictureStaysWithItsPage()
    {
        QTemporaryDir dir;
        for (const char *name : {"2.jpg", "4.jpg"})
            QVERIFY(writeFile(dir.filePath(name), "picture"));
        // Page 1 has no picture, page 3's is gone: their places stay empty, so the
        // pictures of pages 2 and 4 stay where they belong.
        FlashPageSourceImg source;
        const QStringList pictures{"", dir.filePath("2.jpg"), dir.filePath("gone.jpg"), dir.filePath("4.jpg"), ""};
        QCOMPARE(PhonePageRun::placePhonePages(source, pictures), 2);
        QCOMPARE(PhonePageRun::phonePictures(source), QStringList({"", dir.filePath("2.jpg"), "", dir.filePath("4.jpg")}));
        QCOMPARE(source.phonePages().at(3)->pageIndex(), 4);
        QCOMPARE(PhonePageRun::placePhonePages(source, {"", dir.filePath("gone.jpg")}), 0);
        QVERIFY(source.phonePages().isEmpty());
    }

    void picturesNobodyKeptGoWithTheRun()
    {
        PhonePageRun run;
        run.setSnapshots([](const QStringList &pages, const QString &workspace, qint64 width, qint64) {
            writeFile(workspace + "/1.jpg", QByteArray::number(width));
            return QStringList(pages.size(), workspace + "/1.jpg");
        });
        QSignalSpy snapped(&run, &PhonePageRun::snapped);
        QVERIFY(!run.start({"a.swf"}, QSizeF(0.5, 160))); // no picture of no width is asked for
        for (bool kept : {false, true}) {
            QVERIFY(run.start({"a.swf"}, QSizeF(120.7, 160)));
            QVERIFY(snapped.wait(10000));
            const QString made = snapped.last().first().toStringList().first();
            QCOMPARE(readFile(made), QByteArray("120"));
            run.finish({kept ? made : QString("/elsewhere/1.jpg")});
            QCOMPARE(QFileInfo::exists(made), kept);
        }
    }
};

QV_TEST(PhonePageRunTest)
#include "tst_phonepagerun.moc"
