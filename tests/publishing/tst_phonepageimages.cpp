#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "publishing/PageSnapshot.h"
#include "publishing/PhonePageImages.h"

#include <QTemporaryDir>
#include <QtTest>
#include <limits>

using namespace TestPictures;

class PhonePageImagesTest : public QObject
{
    Q_OBJECT
private slots:
    void thumbnailsAreNamedByRowAndMissingPicturesGetThePlaceholder()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("a"));
        QDir().mkpath(dir.filePath("b"));
        // Two pages whose pictures share a file name, and a missing and an empty one.
        QVERIFY(writePicture(dir.filePath("a/1.jpg"), QSize(400, 800), Qt::red));
        QVERIFY(writePicture(dir.filePath("b/1.jpg"), QSize(800, 400), Qt::blue));
        QVERIFY(TestFiles::writeFile(dir.filePath("empty.jpg")));
        const QStringList pages{dir.filePath("a/1.jpg"), dir.filePath("b/1.jpg"), dir.filePath("gone.jpg"),
                                dir.filePath("empty.jpg")};
        QString workspace;
        {
            PhonePageImages images;
            workspace = images.workspace();
            QVERIFY(QFileInfo(workspace).isDir());
            images.setImages(pages);
            QCOMPARE(images.images(), pages); // the paths themselves stay as given
            const QStringList icons = images.icons();
            QCOMPARE(QSet<QString>(icons.begin(), icons.end()).size(), 4);
            QCOMPARE(pictureSize(images.icons()[0]), QSize(45, 90));
            QCOMPARE(pictureSize(images.icons()[1]), QSize(90, 45));
            QVERIFY(QImage(images.icons()[1]).pixelColor(45, 22).blue() > 240);
            for (int row : {2, 3})
                QVERIFY(QFileInfo(images.icons()[row]).isFile());
            QCOMPARE(PhonePageImages::thumbnailSize(QSize(10000, 1)), QSize(90, 1));

            images.setImages({});
            QVERIFY(images.icons().isEmpty());
        }
        QVERIFY(!QFileInfo::exists(workspace)); // thumbnails go with the object
    }

    void retryKindFollowsThePageSource()
    {
        PhonePageImages images;
        images.setSWFs({"/p/1.PNG", "/p/2.pdf", "/p/3.swf", "/p/4.pdf"});
        images.setImages({"/w/1.jpg", "/w/2.jpg", "/w/3.jpg", "/p/4.pdf"});
        QCOMPARE(images.retryKind(1), PhonePageImages::Retry::Snapshot);
        QCOMPARE(images.retryKind(3), PhonePageImages::Retry::None); // never over its own source
        QCOMPARE(images.retryKind(4), PhonePageImages::Retry::None);
        QCOMPARE(images.retryKind(-1), PhonePageImages::Retry::None);
    }

    void resizeWritesTheFormatItsNameSays()
    {
        QTemporaryDir dir;
        QVERIFY(writePicture(dir.filePath("1.png"), QSize(500, 500), Qt::red));
        QVERIFY(writePicture(dir.filePath("2.jpg"), QSize(300, 400), Qt::red));
        // A red 4 by 4 GIF (pictures cannot be written as GIF here).
        QVERIFY(TestFiles::writeFile(dir.filePath("3.gif"), QByteArray::fromHex("47494638396104000400f00000ff000000000021f90400000000002c0000000004000400000204848f0905003b")));
        PhonePageImages images;
        QVERIFY(images.setPageWidth(300));
        QVERIFY(images.setPageHeight(400));
        // No picture is made less than a pixel wide or high, nor of no size at all.
        QVERIFY(!images.setPageWidth(0));
        QVERIFY(!images.setPageHeight(0.5));
        QVERIFY(!images.setPageWidth(std::numeric_limits<double>::quiet_NaN()));
        images.setSWFs({dir.filePath("1.png"), dir.filePath("2.jpg"), dir.filePath("3.gif")});
        images.setImages({dir.filePath("1.png"), dir.filePath("2.jpg"), dir.filePath("3.gif")});

        QCOMPARE(images.sizeToResize(0), QSize(500, 500));
        QVERIFY(!images.sizeToResize(1).isValid()); // already the page size
        QVERIFY(images.resizeToPageSize(0));
        const QString made = images.images()[0];
        QVERIFY(made != dir.filePath("1.png"));
        QCOMPARE(QFileInfo(made).fileName(), QStringLiteral("1.png"));
        QCOMPARE(pictureFormat(made), QByteArray("png"));
        QCOMPARE(pictureSize(made), QSize(300, 400));
        QCOMPARE(pictureSize(dir.filePath("1.png")), QSize(500, 500)); // the source is untouched
        QCOMPARE(pictureSize(images.icons()[0]), QSize(67, 90));

        // GIF cannot be written: the picture becomes a JPEG named so.
        QVERIFY(images.resizeToPageSize(2));
        QCOMPARE(QFileInfo(images.images()[2]).fileName(), QStringLiteral("3.jpg"));
        QCOMPARE(pictureFormat(images.images()[2]), QByteArray("jpeg"));

        QFile::remove(dir.filePath("2.jpg"));
        QVERIFY(!images.resizeToPageSize(1));
        QCOMPARE(images.images()[1], dir.filePath("2.jpg"));
    }

    void replacementKeepsProportionsWithinBounds()
    {
        PhonePageImages images;
        QCOMPARE(images.replacementSize(QSize(400, 800)), QSize(1080, 2160));
        QCOMPARE(images.replacementSize(QSize(800, 400)), QSize(2880, 1440));
        QVERIFY(!images.replacementSize(QSize(800, 0)).isValid());
        // Extreme proportions are capped on the long side, never collapsing below 1.
        QCOMPARE(images.replacementSize(QSize(1, 100000)), QSize(1, PhonePageImages::kMaxReplacementSide));
        QCOMPARE(images.replacementSize(QSize(100000, 1)), QSize(PhonePageImages::kMaxReplacementSide, 1));
        QCOMPARE(images.replacementSize(QSize(20, 1)), QSize(16384, 819));

        QTemporaryDir dir;
        QVERIFY(writePicture(dir.filePath("new.png"), QSize(400, 800), Qt::green));
        QVERIFY(TestFiles::writeFile(dir.filePath("junk.png"), "not a picture"));
        images.setImages({dir.filePath("old.jpg"), dir.filePath("old.png")});
        const QStringList before = images.images();

        QVERIFY(!images.replaceImage(0, dir.filePath("junk.png")));
        QVERIFY(!images.replaceImage(0, dir.filePath("absent.png")));
        QVERIFY(!images.replaceImage(5, dir.filePath("new.png")));
        QCOMPARE(images.images(), before);

        QVERIFY(images.replaceImage(0, dir.filePath("new.png")));
        const QString made = images.images()[0];
        QVERIFY(QRegularExpression("^\\d+\\.\\d{6}\\.jpg$").match(QFileInfo(made).fileName()).hasMatch());
        QCOMPARE(pictureFormat(made), QByteArray("jpeg"));
        QCOMPARE(pictureSize(made), QSize(1080, 2160));
        QCOMPARE(pictureSize(images.icons()[0]), QSize(45, 90));
        QVERIFY(images.replaceImage(1, dir.filePath("new.png")));
        QCOMPARE(pictureFormat(images.images()[1]), QByteArray("png"));
    }

    void snapshotsRejectSizesAndKindsTheyCannotDraw()
    {
        QTemporaryDir dir;
        QVERIFY(writePicture(dir.filePath("p.png"), QSize(20, 20), Qt::red));
        PageSnapshot::Status status;
        for (const QSize &bad : {QSize(0, 10), QSize(10, -1), QSize(PageSnapshot::kMaxSide + 1, 10)}) {
            QVERIFY(PageSnapshot::render(dir.filePath("p.png"), bad, &status).isNull());
            QCOMPARE(status, PageSnapshot::Status::BadSize);
        }
        QCOMPARE(PageSnapshot::renderToFile(dir.filePath("p.swf"), dir.filePath("o.jpg"), QSize(5, 5)),
                 PageSnapshot::Status::UnsupportedKind);
        QCOMPARE(PageSnapshot::renderToFile(dir.filePath("q.png"), dir.filePath("o.jpg"), QSize(5, 5)),
                 PageSnapshot::Status::Unreadable);
        QCOMPARE(PageSnapshot::renderToFile(dir.filePath("p.png"), dir.filePath("none/o.jpg"), QSize(5, 5)),
                 PageSnapshot::Status::WriteFailed);
        QVERIFY(!QFileInfo::exists(dir.filePath("o.jpg")));
        // A landscape PDF page in a portrait box: white bands above and below.
        QVERIFY(PdfFixtures::writeFilledPage(dir.filePath("l.pdf"), QSizeF(297, 210), Qt::black));
        const QImage page = PageSnapshot::render(dir.filePath("l.pdf"), QSize(100, 200), &status);
        QCOMPARE(page.size(), QSize(100, 200));
        QCOMPARE(QColor(page.pixel(50, 10)), QColor(Qt::white));
        QVERIFY(QColor(page.pixel(50, 100)).lightness() < 20);
    }
};

QV_TEST(PhonePageImagesTest)
#include "tst_phonepageimages.moc"
