#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "pages/JpegEncoder.h"
#include "pages/PagePictureWriter.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using TestFiles::readFile;
using TestPictures::decodedPixels;

namespace {

// A page whose left half is one colour and right half another.
QImage twoColours(const QSize &size, const QColor &left, const QColor &right)
{
    QImage image(size, QImage::Format_RGB888);
    QPainter p(&image);
    p.fillRect(QRect(0, 0, size.width() / 2, size.height()), left);
    p.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()), right);
    p.end();
    return image;
}

// A page of text lines on a colour: detail for every picture's coding.
QImage textPage(const QSize &size, const QColor &paper)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(paper);
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(size.height() / 50);
    p.setFont(font);
    for (int line = 1; line < 50; ++line)
        p.drawText(10, line * size.height() / 50, QStringLiteral("Line %1: hold the button until the light flashes.").arg(line));
    return image;
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) <= 6 && qAbs(a.green() - b.green()) <= 6 && qAbs(a.blue() - b.blue()) <= 6;
}

// Writes the parts; *written (when given) gets the parts as the writer left them.
PageResult write(PagePictureWriter &writer, const QImage &page, QList<PagePictureWriter::Part> parts,
                 QList<PagePictureWriter::Part> *written = nullptr)
{
    const PageResult r = writer.write(page, parts);
    if (written)
        *written = parts;
    return r;
}

// Whether a JPEG file starts its frame with progressive scans (marker SOF2).
bool isProgressive(const QByteArray &jpeg)
{
    return TestPictures::jpegFrameMarker(jpeg) == 0xC2;
}

} // namespace

class PagePictureWriterTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    PageImaging::PagePicturePaths paths(const QString &name) const
    {
        const QString base = m_dir.filePath(name);
        return {base + "-large.jpg", base + "-normal.jpg", base + "-thumb.jpg", base + "-phone.jpg"};
    }

private slots:
    void eachPictureHasItsSizeAndThePageContent()
    {
        // A page box other than the phone's: normal and phone are separate reductions.
        PagePictureWriter writer(QSize(800, 600));
        const QImage page = twoColours(QSize(1785, 2526), Qt::red, Qt::blue);
        const auto p = paths("whole");
        QVERIFY(write(writer, page, {{FlashPage::Part::Whole, p}}).ok());
        const QImage large(p.large), normal(p.normal), thumb(p.thumb), phone(p.phone);
        QCOMPARE(large.size(), page.size());
        QCOMPARE(normal.size(), PageImaging::fittedSize(page.size(), QSize(800, 600)));
        QCOMPARE(normal.height(), 600);
        QCOMPARE(thumb.size(), QSize(141, 200));
        QCOMPARE(phone.size(), PageImaging::fittedSize(page.size(), QSize(1080, 1440)));
        for (const QImage &picture : {large, normal, thumb, phone}) {
            QVERIFY(near(picture.pixelColor(picture.width() / 4, picture.height() / 2), Qt::red));
            QVERIFY(near(picture.pixelColor(picture.width() * 3 / 4, picture.height() / 2), Qt::blue));
        }
    }

    void halvesOfASpreadComeFromOnePass()
    {
        PagePictureWriter writer(QSize(1080, 1440));
        const QImage spread = twoColours(QSize(2526, 1785), Qt::green, Qt::magenta);
        QList<PagePictureWriter::Part> written;
        QVERIFY(write(writer, spread, {{FlashPage::Part::Left, paths("left")}, {FlashPage::Part::Right, paths("right")}},
                      &written).ok());
        const auto left = written.at(0).paths, right = written.at(1).paths;
        for (const QString &file : {left.large, left.normal, left.thumb, left.phone}) {
            const QImage picture(file);
            QVERIFY2(near(picture.pixelColor(2, picture.height() / 2), Qt::green), qPrintable(file));
            QVERIFY2(near(picture.pixelColor(picture.width() - 3, picture.height() / 2), Qt::green), qPrintable(file));
        }
        for (const QString &file : {right.large, right.normal, right.thumb, right.phone}) {
            const QImage picture(file);
            QVERIFY2(near(picture.pixelColor(2, picture.height() / 2), Qt::magenta), qPrintable(file));
        }
        QCOMPARE(QImage(left.large).size(), QSize(1263, 1785));
        QCOMPARE(QImage(right.normal).height(), 1440);
    }

    void memoryKeptBetweenPagesHoldsNothingOfThePageBefore()
    {
        // Pages of different sizes and contents, one after the other, through one writer.
        PagePictureWriter writer(QSize(1080, 1440));
        const QList<QPair<QSize, QColor>> pages{{QSize(1785, 2526), Qt::red},
                                                {QSize(2526, 1785), Qt::yellow},
                                                {QSize(1785, 2526), Qt::cyan},
                                                {QSize(1785, 2526), Qt::darkGreen}};
        int n = 0;
        for (const auto &[size, colour] : pages) {
            QList<PagePictureWriter::Part> written;
            QVERIFY(write(writer, twoColours(size, colour, colour), {{FlashPage::Part::Whole, paths(QString("seq%1").arg(++n))}},
                          &written).ok());
            const auto p = written.first().paths;
            for (const QString &file : {p.large, p.normal, p.thumb, p.phone}) {
                const QImage picture(file);
                QVERIFY2(near(picture.pixelColor(picture.width() - 1, picture.height() - 1), colour), qPrintable(file));
                QVERIFY2(near(picture.pixelColor(0, 0), colour), qPrintable(file));
            }
        }
    }

    void aPageThatFitsItsBoxIsEncodedAndWrittenOnce()
    {
        // At the lowest quality the render fits the page box: normal and phone are
        // the large picture itself, its one file.
        PagePictureWriter writer(QSize(1080, 1440));
        const auto p = paths("small");
        QList<PagePictureWriter::Part> written;
        QVERIFY(write(writer, twoColours(QSize(992, 1403), Qt::black, Qt::white), {{FlashPage::Part::Whole, p}}, &written).ok());
        QCOMPARE(written.first().paths.normal, p.large);
        QCOMPARE(written.first().paths.phone, p.large);
        QVERIFY(!QFile::exists(p.normal) && !QFile::exists(p.phone));
        QCOMPARE(QImage(p.thumb).height(), 200);

        // A letter page at the middle quality is a little larger than the box: reduced,
        // it would be a second picture of nearly the same size.
        const auto letter = paths("letter");
        QVERIFY(write(writer, twoColours(QSize(1224, 1584), Qt::black, Qt::white), {{FlashPage::Part::Whole, letter}},
                      &written).ok());
        QCOMPARE(written.first().paths.normal, letter.large);
        QCOMPARE(written.first().paths.phone, letter.large);
        QCOMPARE(QImage(letter.large).size(), QSize(1224, 1584));

        // Clearly larger than the box: reduced, and the phone picture (the same box)
        // is the normal picture's file.
        const auto big = paths("big");
        QVERIFY(write(writer, twoColours(QSize(1836, 2376), Qt::black, Qt::white), {{FlashPage::Part::Whole, big}},
                      &written).ok());
        QCOMPARE(QImage(big.normal).size(), QSize(1080, 1397));
        QCOMPARE(written.first().paths.normal, big.normal);
        QCOMPARE(written.first().paths.phone, big.normal);
        QVERIFY(!QFile::exists(big.phone));

        // Made from a large picture that is a file already: nothing of its size is
        // written again.
        const auto again = paths("again");
        PagePictureWriter::Part fromFile{FlashPage::Part::Whole, {letter.large, again.normal, again.thumb, again.phone}, true};
        QVERIFY(write(writer, QImage(letter.large), {fromFile}, &written).ok());
        QCOMPARE(written.first().paths.normal, letter.large);
        QCOMPARE(written.first().paths.phone, letter.large);
        QVERIFY(!QFile::exists(again.normal) && !QFile::exists(again.phone) && QFile::exists(again.thumb));
    }

    void smallerCodingKeepsEveryPixel()
    {
        // Huffman tables made for the picture and progressive scans change the bytes,
        // never the decoded pixels; page pictures are progressive, thumbnails not.
        QImage page(640, 480, QImage::Format_RGB888);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                page.setPixelColor(x, y, QColor((x * 7 + y) % 256, (x * y) % 251, (x ^ y) % 256));
        const QByteArray plain = JpegEncoder::encode(page, JpegSettings{75, false, false});
        const QByteArray smaller = JpegEncoder::encode(page, PageImaging::kNormalJpeg);
        QVERIFY(isProgressive(smaller) && !isProgressive(plain));
        QVERIFY(smaller.size() < plain.size());
        QCOMPARE(decodedPixels(smaller), decodedPixels(plain));
        const QByteArray thumb = JpegEncoder::encode(page, PageImaging::kThumbJpeg);
        QVERIFY(!isProgressive(thumb));
        QCOMPARE(decodedPixels(thumb), decodedPixels(JpegEncoder::encode(page, JpegSettings{80, false, false})));
    }

    void aPageIsWrittenAsByAFreshWriter()
    {
        // A writer keeps its coding memory from page to page: what one page leaves
        // there never shows in the next, larger or smaller, whole or split.
        PagePictureWriter used(QSize(1080, 1440));
        const QImage spread = textPage(QSize(3000, 1900), QColor(250, 240, 220));
        const QImage page = textPage(QSize(1836, 2376), Qt::white);
        const QImage small = textPage(QSize(700, 900), QColor(200, 230, 255));
        QVERIFY(write(used, spread, {{FlashPage::Part::Left, paths("s-left")}, {FlashPage::Part::Right, paths("s-right")}}).ok());
        const auto afterSpread = paths("after-spread"), afterPage = paths("after-page");
        QVERIFY(write(used, page, {{FlashPage::Part::Whole, afterSpread}}).ok());
        QVERIFY(write(used, small, {{FlashPage::Part::Whole, afterPage}}).ok());

        const auto freshPage = paths("fresh-page"), freshSmall = paths("fresh-small");
        PagePictureWriter first(QSize(1080, 1440)), second(QSize(1080, 1440));
        QVERIFY(write(first, page, {{FlashPage::Part::Whole, freshPage}}).ok());
        QVERIFY(write(second, small, {{FlashPage::Part::Whole, freshSmall}}).ok());
        QCOMPARE(readFile(afterSpread.large), readFile(freshPage.large));
        QCOMPARE(readFile(afterSpread.normal), readFile(freshPage.normal));
        QCOMPARE(readFile(afterSpread.thumb), readFile(freshPage.thumb));
        QCOMPARE(readFile(afterPage.large), readFile(freshSmall.large));
    }

    void onlyTheAskedPicturesAreWritten()
    {
        PagePictureWriter writer(QSize(1080, 1440));
        auto p = paths("some");
        p.large.clear();
        p.phone.clear();
        QVERIFY(write(writer, twoColours(QSize(1785, 2526), Qt::red, Qt::red), {{FlashPage::Part::Whole, p}}).ok());
        QVERIFY(QFile::exists(p.normal) && QFile::exists(p.thumb));
        QCOMPARE(QDir(m_dir.path()).entryList({"some-*"}).size(), 2);
    }

    void aFailedWriteIsReported()
    {
        PagePictureWriter writer(QSize(1080, 1440));
        auto p = paths("fail");
        p.normal = m_dir.filePath("missing-folder/normal.jpg");
        const PageResult r = write(writer, twoColours(QSize(1785, 2526), Qt::red, Qt::red), {{FlashPage::Part::Whole, p}});
        QCOMPARE(r.error, PageError::WriteFailed);
        QVERIFY(r.message.contains("normal.jpg"));
    }

    void encoderNeedsEveryRow()
    {
        // A picture cut off before its last row is a failure, not a shorter picture.
        const QImage page = twoColours(QSize(64, 64), Qt::red, Qt::blue);
        JpegEncoder cut(page.size(), 90);
        cut.addRows(page.constBits(), page.bytesPerLine(), 40);
        QVERIFY(cut.finish().isEmpty());

        const QByteArray whole = JpegEncoder::encode(page, 90);
        QImage decoded;
        QVERIFY(decoded.loadFromData(whole, "JPEG"));
        QCOMPARE(decoded.size(), page.size());
        QVERIFY(near(decoded.pixelColor(5, 5), Qt::red));
    }
};

QV_TEST(PagePictureWriterTest)
#include "tst_pagepicturewriter.moc"
