#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/PageImport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using TestFiles::readFile;
using namespace TestPictures;

namespace {

QStringList paths(const QList<FlashPagePtr> &pages)
{
    QStringList out;
    for (const FlashPagePtr &p : pages)
        out << p->pageFilePath();
    return out;
}

bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QFileInfo &info : QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + "/" + info.fileName();
        if (info.isDir() ? !copyFolder(info.filePath(), target) : !QFile::copy(info.filePath(), target))
            return false;
    }
    return true;
}

} // namespace

class PageSourceTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString picture(const QString &name, const QSize &size)
    {
        const QString file = path(name);
        return writePicture(file, size, Qt::cyan) ? file : QString();
    }

    std::shared_ptr<FlashPageSource> importPictures(const QString &workspace, int count)
    {
        ImportParament p;
        for (int i = 0; i < count; ++i)
            p.sourceFiles << picture(QString("p%1.png").arg(i), QSize(900, 1200));
        PageImport import(p, workspace);
        return import.run() ? import.pageSource() : nullptr;
    }

private slots:
    void roundTripsThroughItsSavedForm()
    {
        const QString workspace = path("trip/pages");
        auto source = importPictures(workspace, 3);
        QVERIFY(source);
        source->setNormalPageSize(QSize(800, 600));
        // A phone page chosen from elsewhere, as the phone page review does.
        const QString outside = picture("phone-review.png", QSize(100, 100));
        source->phonePages()[1] = std::make_shared<FlashPageImage>();
        source->phonePages()[1]->setPageFilePath(outside);

        const QString xml = source->toXmlString();
        QVERIFY(!xml.contains(workspace)); // pictures in the workspace are stored relative to it
        QString error;
        auto back = FlashPageSource::fromXmlString(xml, workspace, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(back->sourceType(), QString("img"));
        QCOMPARE(back->normalPageSize(), QSize(800, 600));
        QCOMPARE(static_cast<FlashPageSourceImg &>(*back).imageFiles(),
                 static_cast<FlashPageSourceImg &>(*source).imageFiles());
        for (auto kind : FlashPageSource::kPictureKinds)
            QCOMPARE(paths(back->pageList(kind)), paths(source->pageList(kind)));
        QCOMPARE(back->pages()[2]->pageIndex(), 3);
        QCOMPARE(back->pages()[2]->sourcePage(), 2);
        QVERIFY(!back->phonePages()[1]->hasOrigin());

        // A project moved elsewhere finds its pictures in the new place.
        QVERIFY(copyFolder(workspace, path("moved/pages")));
        auto moved = FlashPageSource::fromXmlString(xml, path("moved/pages"));
        QVERIFY(moved);
        QCOMPARE(moved->pages()[0]->pageFilePath(), path("moved/pages") + "/large/1.jpg");
        QCOMPARE(moved->phonePages()[1]->pageFilePath(), outside);

        FlashPageSourcePDF pdf;
        pdf.setPdfFile(path("doc.pdf"));
        pdf.setPassword("hidden");
        pdf.setPageRange("2-4");
        pdf.setWidePageMode(2);
        pdf.setQualityLevel(1);
        auto pdfBack = FlashPageSource::fromXmlString(pdf.toXmlString(), path("x"));
        QVERIFY(pdfBack);
        auto &restored = static_cast<FlashPageSourcePDF &>(*pdfBack);
        QCOMPARE(restored.pdfFile(), path("doc.pdf"));
        QCOMPARE(restored.pageRange(), QString("2-4"));
        QCOMPARE(restored.widePageMode(), 2);
        QCOMPARE(restored.qualityLevel(), 1);
        QVERIFY(restored.password().isEmpty());

        QVERIFY(!FlashPageSource::fromXmlString("<PageSource type=\"swf\"/>", workspace, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!FlashPageSource::fromXmlString("<Other/>", workspace));
        QVERIFY(!FlashPageSource::fromXmlString("not xml", workspace));
    }

    void passesRemakeWhatIsMissing()
    {
        const QString workspace = path("passes/pages");
        auto source = importPictures(workspace, 3);
        QVERIFY(source);
        const QByteArray thumbBefore = readFile(source->thumbPages()[0]->pageFilePath());
        QVERIFY(!thumbBefore.isEmpty());
        // The pictures fit the page box: the normal and phone pictures are the large
        // pictures' files, written once.
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(source->normalPages()[i]->pageFilePath(), source->pages()[i]->pageFilePath());
            QCOMPARE(source->phonePages()[i]->pageFilePath(), source->pages()[i]->pageFilePath());
        }
        QVERIFY(QDir(workspace + "/normal").isEmpty() && QDir(workspace + "/phone").isEmpty());
        QVERIFY(QFile::remove(workspace + "/large/2.jpg"));
        QVERIFY(QFile::remove(workspace + "/thumb/1.jpg"));
        source->phonePages()[2] = nullptr;

        QVERIFY2(source->generateBasePages(), qPrintable(source->lastResult().message));
        QVERIFY(QFileInfo::exists(workspace + "/large/2.jpg"));
        QVERIFY(source->generateNormalPages());
        QVERIFY(QFileInfo::exists(workspace + "/thumb/1.jpg"));
        QVERIFY(source->generatePhonePages());
        QCOMPARE(source->phonePages()[2]->pageFilePath(), source->pages()[2]->pageFilePath());

        // A new page box remakes every normal picture into files of their own: the
        // large and phone pictures they were stay as they are; thumbnails that exist stay.
        source->setNormalPageSize(QSize(300, 300));
        QVERIFY(source->generateNormalPages());
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pictureSize(source->normalPages()[i]->pageFilePath()), QSize(225, 300));
            QCOMPARE(pictureSize(source->pages()[i]->pageFilePath()), QSize(900, 1200));
            QCOMPARE(pictureSize(source->phonePages()[i]->pageFilePath()), QSize(900, 1200));
        }
        QCOMPARE(readFile(source->thumbPages()[0]->pageFilePath()), thumbBefore);

        // A page inserted at the front (from another source, no origin): its
        // pictures come from its own large picture and never overwrite the
        // pictures of the pages after it, which keep their names.
        auto inserted = std::make_shared<FlashPageImage>();
        inserted->setPageFilePath(picture("cover.png", QSize(400, 400)));
        source->pages().insert(0, inserted);
        source->normalPages().insert(0, nullptr);
        source->thumbPages().insert(0, nullptr);
        source->phonePages().insert(0, nullptr);
        const QStringList normalBefore = paths(source->normalPages().mid(1));
        QVERIFY(source->generateNormalPages());
        QVERIFY(source->generatePhonePages());
        QCOMPARE(paths(source->normalPages().mid(1)), normalBefore);
        QVERIFY(!normalBefore.contains(source->normalPages()[0]->pageFilePath()));
        QCOMPARE(pictureSize(source->normalPages()[0]->pageFilePath()), QSize(300, 300));
        QCOMPARE(pictureSize(source->normalPages()[1]->pageFilePath()), QSize(225, 300));
        QCOMPARE(source->pages()[3]->pageIndex(), 4);

        // A lost picture that no source can give back is an error, not a blank page.
        QVERIFY(QFile::remove(inserted->pageFilePath()));
        QVERIFY(!source->generateBasePages());
        QCOMPARE(source->lastResult().error, PageError::FileNotFound);
    }
};

QV_TEST(PageSourceTest)
#include "tst_pagesource.moc"
