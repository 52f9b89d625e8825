#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/PDFSearch.h"
#include "pages/PageImport.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using TestPictures::pictureSize;

class PictureImportTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString picture(const QString &name, const QSize &size, const QColor &fill, const char *format = nullptr)
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(fill);
        QPainter painter(&image);
        painter.fillRect(QRect(0, 0, size.width() / 4, size.height() / 4), Qt::darkGreen);
        painter.end();
        const QString file = path(name);
        return image.save(file, format) ? file : QString();
    }

private slots:
    void importsPicturesInOrder()
    {
        ImportParament p;
        p.sourceFiles = {picture("a.png", QSize(600, 800), Qt::transparent),
                         picture("b.jpg", QSize(1600, 1200), Qt::white),
                         picture("c.png", QSize(4000, 3000), Qt::yellow)};
        const QString workspace = path("pictures/pages");
        PageImport import(p, workspace);
        QVERIFY2(import.run(), qPrintable(import.result().message));
        const auto source = import.pageSource();
        QCOMPARE(source->sourceType(), QString("img"));
        QCOMPARE(source->pageCount(), 3);
        QCOMPARE(TestPictures::missingPagePictures(*source), QStringList());

        // Transparent areas become white paper, not black.
        const QImage first(source->pages()[0]->pageFilePath());
        QCOMPARE(first.size(), QSize(600, 800));
        QVERIFY(QColor(first.pixel(500, 700)).lightness() > 240);
        // Small pictures are not enlarged; big ones are limited to an A4 page at 216 dpi.
        QCOMPARE(pictureSize(source->normalPages()[0]->pageFilePath()), QSize(600, 800));
        const QSize big = pictureSize(source->pages()[2]->pageFilePath());
        QCOMPARE(big.width(), 2525);
        QVERIFY(qAbs(big.height() - 1894) <= 1);
        QCOMPARE(pictureSize(source->normalPages()[1]->pageFilePath()), QSize(1080, 810));
        QCOMPARE(pictureSize(source->thumbPages()[1]->pageFilePath()).height(), 200);

        // Pictures carry no bookmarks and no text, but the search data has a slot per page.
        QVERIFY(import.outline()->isEmpty());
        QCOMPARE(import.pdfSearch()->pageCount(), 3);
        QCOMPARE(import.mobileSearch()->pageCount(), 3);
    }

    void unreadablePictureFailsAndLeavesNothing()
    {
        const QString good = picture("ok.png", QSize(300, 400), Qt::white);
        QVERIFY(TestFiles::writeFile(path("broken.jpg"), "this is not a picture"));

        // A JPEG cut short is recognised as JPEG but cannot be decoded.
        const QString whole = picture("whole.jpg", QSize(800, 800), Qt::red, "JPG");
        const QByteArray wholeBytes = TestFiles::readFile(whole);
        QVERIFY(wholeBytes.size() > 200);
        QVERIFY(TestFiles::writeFile(path("cut.jpg"), wholeBytes.left(200)));

        const QString workspace = path("broken/pages");
        for (const QString &culprit : {path("broken.jpg"), path("cut.jpg"), path("missing.png")}) {
            ImportParament p;
            p.sourceFiles = {good, culprit, good};
            PageImport import(p, workspace);
            QVERIFY(!import.run());
            QCOMPARE(import.result().error, PageError::UnreadablePicture);
            QVERIFY2(import.result().message.contains(QFileInfo(culprit).fileName()),
                     qPrintable(import.result().message));
            QVERIFY(!import.pageSource());
            QVERIFY(!QFileInfo::exists(workspace));
            QCOMPARE(QDir(path("broken")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList());
        }
    }
};

QV_TEST(PictureImportTest)
#include "tst_pictureimport.moc"
