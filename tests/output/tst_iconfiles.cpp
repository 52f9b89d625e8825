#include "TestFiles.h"
#include "TestSupport.h"
#include "PackageTestData.h"
#include "output/packages/AppIconMaker.h"
#include "output/packages/IcnsFile.h"
#include "output/packages/IcoFile.h"
#include "output/packages/IconPictures.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace PackageTestData;
using namespace TestFiles;

namespace {

const QMap<int, QColor> kColours{{16, QColor(200, 10, 10)},   {32, QColor(10, 200, 10)},
                                 {128, QColor(10, 10, 200)},  {256, QColor(200, 200, 10)},
                                 {512, QColor(10, 200, 200)}, {1024, QColor(200, 10, 200)}};

// Pictures for the icon maker, one colour per size, each exactly its size.
QVariantMap makerInput(const QString &folder, bool with1024)
{
    QVariantMap files;
    for (auto it = kColours.constBegin(); it != kColours.constEnd(); ++it) {
        if (it.key() == 1024 && !with1024)
            continue;
        files.insert(QString::number(it.key()),
                     savePicture(QStringLiteral("%1/in%2.png").arg(folder).arg(it.key()),
                                 picture(it.key(), it.key(), it.value())));
    }
    return files;
}

QMap<QByteArray, QImage> byType(const QList<IcnsFile::Entry> &entries)
{
    QMap<QByteArray, QImage> map;
    for (const auto &e : entries)
        map.insert(e.type, e.image);
    return map;
}

bool sameColour(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) <= 2 && qAbs(qGreen(a) - b.green()) <= 2 && qAbs(qBlue(a) - b.blue()) <= 2 &&
           qAlpha(a) == 255;
}

QByteArray entry(const char *type, const QByteArray &data)
{
    QByteArray out(type, 4);
    char length[4];
    qToBigEndian<quint32>(quint32(data.size() + 8), length);
    return out + QByteArray(length, 4) + data;
}

QByteArray icnsOf(const QByteArray &entries)
{
    char length[4];
    qToBigEndian<quint32>(quint32(entries.size() + 8), length);
    return QByteArray("icns") + QByteArray(length, 4) + entries;
}

} // namespace

class IconFilesTest : public QObject
{
    Q_OBJECT
private slots:
    void icnsFromMakerHoldsEverySizeWithItsPixels()
    {
        QTemporaryDir dir;
        AppIconMaker maker;
        maker.setInputFileDict(makerInput(dir.path(), true));
        maker.setIconFile(dir.filePath(QStringLiteral("icon.icns")));
        QVERIFY2(maker.generateIcon(), qPrintable(maker.errorString()));

        const auto entries = IcnsFile::readFile(maker.iconFile());
        QVERIFY(entries);
        const QMap<QByteArray, QImage> types = byType(*entries);
        const QMap<QByteArray, int> expected{{"is32", 16},  {"il32", 32},  {"ic11", 32},  {"ic07", 128}, {"ic13", 256},
                                             {"ic08", 256}, {"ic14", 512}, {"ic09", 512}, {"ic10", 1024}};
        QCOMPARE(types.keys(), expected.keys());
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
            const QImage image = types.value(it.key());
            QCOMPARE(image.size(), QSize(it.value(), it.value()));
            // Colour from the picture of that size, transparency from its corner.
            QVERIFY2(sameColour(image.pixel(it.value() - 1, it.value() - 1), kColours.value(it.value())), it.key());
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        }

        // Qt's own reader of the format agrees on the structure.
        QImageReader reader(maker.iconFile(), "icns");
        QCOMPARE(reader.imageCount(), 9);
        for (int i = 0; i < 9; ++i) {
            QVERIFY(reader.jumpToImage(i));
            QVERIFY(!reader.read().isNull());
        }
    }

    void makerScalesAndRefusesIncompleteInput()
    {
        QTemporaryDir dir;
        QVariantMap files = makerInput(dir.path(), false);
        // A picture that is not square is scaled to exactly its size.
        files.insert(QStringLiteral("512"),
                     savePicture(dir.filePath(QStringLiteral("wide.jpg")), picture(900, 300, Qt::blue), "JPEG"));
        AppIconMaker maker;
        maker.setIconFile(dir.filePath(QStringLiteral("icon.icns")));
        maker.setInputFileDict(files);
        QVERIFY(maker.generateIcon());
        const QMap<QByteArray, QImage> types = byType(*IcnsFile::readFile(maker.iconFile()));
        QVERIFY(!types.contains("ic10")); // 1024 is optional
        QCOMPARE(types.value("ic09").size(), QSize(512, 512));
        const QByteArray written = readFile(maker.iconFile());

        QVariantMap missing = files;
        missing.remove(QStringLiteral("32"));
        maker.setInputFileDict(missing);
        QVERIFY(!maker.generateIcon());

        QVariantMap unreadable = files;
        writeFile(dir.filePath(QStringLiteral("broken.png")), "not a picture");
        unreadable.insert(QStringLiteral("128"), dir.filePath(QStringLiteral("broken.png")));
        maker.setInputFileDict(unreadable);
        QVERIFY(!maker.generateIcon());
        QCOMPARE(readFile(maker.iconFile()), written); // the earlier icon stays

        maker.setIconFile(dir.filePath(QStringLiteral("new.icns")));
        maker.setInputFileDict(missing);
        QVERIFY(!maker.generateIcon());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("new.icns"))));
    }

    void damagedIcnsIsRefusedWithoutReadingPastTheData()
    {
        const QByteArray good = *IcnsFile::encode({{16, picture(16, 16, Qt::red)}, {128, picture(128, 128, Qt::red)}});
        QVERIFY(IcnsFile::decode(good));

        QVERIFY(!IcnsFile::decode(good.left(good.size() - 3)));           // total longer than data
        QVERIFY(!IcnsFile::decode(icnsOf(entry("ic07", "x").left(9) + "\xff\xff\xff\xff")));
        QByteArray zeroLength = icnsOf(entry("ic07", "abcd"));
        qToBigEndian<quint32>(0, zeroLength.data() + 12);
        QVERIFY(!IcnsFile::decode(zeroLength));
        QVERIFY(!IcnsFile::decode("icns"));

        // A run-length entry whose runs overshoot the picture is left out, the rest kept.
        const QByteArray overshoot = icnsOf(entry("is32", QByteArray(20, char(0xff))) +
                                            entry("ic07", IcoFile::encodePng(picture(128, 128, Qt::red))));
        const auto decoded = IcnsFile::decode(overshoot);
        QVERIFY(decoded);
        QCOMPARE(decoded->size(), 1);
        QCOMPARE(decoded->first().type, QByteArray("ic07"));
    }

    void icoKeepsEveryPictureExactly()
    {
        QList<QImage> images;
        for (int side : {16, 32, 48, 256})
            images << picture(side, side, QColor(30, 60, side % 256));
        const QByteArray ico = IcoFile::encodeImages(images);
        const auto pictures = IcoFile::decode(ico);
        QVERIFY(pictures);
        QCOMPARE(pictures->size(), 4);
        QVERIFY(pictures->at(3).data.startsWith("\x89PNG")); // 256 is PNG, the rest bitmaps

        const QList<QImage> decoded = IcoFile::decodeImages(ico);
        QCOMPARE(decoded.size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(decoded[i].convertToFormat(QImage::Format_ARGB32), images[i]);

        // A picture said to lie beyond the file is refused as a whole.
        QByteArray damaged = ico;
        qToLittleEndian<quint32>(quint32(ico.size()), damaged.data() + 6 + 12);
        QVERIFY(!IcoFile::decode(damaged));
        QVERIFY(IcoFile::decodePicture(QByteArray(40, '\0')).isNull());
    }

    void iconPicturesReadEveryKindByContent()
    {
        QTemporaryDir dir;
        // Named wrongly on purpose: the contents decide.
        const QString ico = dir.filePath(QStringLiteral("icon.png"));
        writeFile(ico, IcoFile::encodeImages({picture(16, 16, Qt::red), picture(48, 48, Qt::red)}));
        QCOMPARE(IconPictures::read(ico).size(), 2);
        const QString icns = dir.filePath(QStringLiteral("icon.ico"));
        writeFile(icns, *IcnsFile::encode({{32, picture(32, 32, Qt::red)}}));
        QCOMPARE(IconPictures::read(icns).size(), 2); // il32 with its mask applied, and ic11
        const QString bmp = savePicture(dir.filePath(QStringLiteral("icon.bmp")), picture(20, 20, Qt::red), "BMP");
        QCOMPARE(IconPictures::read(bmp).size(), 1);
        QString error;
        writeFile(dir.filePath(QStringLiteral("text.ico")), "plain text");
        QVERIFY(IconPictures::read(dir.filePath(QStringLiteral("text.ico")), &error).isEmpty());
        QVERIFY(!error.isEmpty());

        // The best source for a size: exact, else the smallest larger, else the largest.
        const QList<QImage> sources{picture(16, 16, Qt::red), picture(64, 64, Qt::green), picture(256, 256, Qt::blue)};
        QCOMPARE(IconPictures::pictureForSize(sources, QSize(16, 16)).pixel(15, 15), QColor(Qt::red).rgb());
        QCOMPARE(IconPictures::pictureForSize(sources, QSize(48, 48)).pixel(47, 47), QColor(Qt::green).rgb());
        const QImage upscaled = IconPictures::pictureForSize(sources, QSize(512, 512));
        QCOMPARE(upscaled.size(), QSize(512, 512));
        QCOMPARE(upscaled.pixel(511, 511), QColor(Qt::blue).rgb());
    }
};

QV_TEST(IconFilesTest)
#include "tst_iconfiles.moc"
