#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "platform/PictureGridModel.h"
#include "platform/ui/PictureGridView.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

using TestPictures::writePicture;

class PictureGridTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { PictureGridModel::clearThumbnailCache(); }

    void thumbnailsLoadScaledAndUnreadablePicturesStayBlank()
    {
        QTemporaryDir dir;
        const QString wide = dir.filePath("wide.png"), broken = dir.filePath("broken.jpg");
        QVERIFY(writePicture(wide, QSize(800, 400), Qt::red));
        QVERIFY(TestFiles::writeFile(broken, "not a picture"));

        PictureGridModel model;
        model.setThumbnailSize(QSize(100, 100));
        model.setItems({{"Wide", wide, "tip", {}}, {"Broken", broken, {}, {}}, {"None", {}, {}, {}}});
        // Until the picture is ready the grid gets a blank of the thumbnail size.
        QCOMPARE(model.data(model.index(0), Qt::DecorationRole).value<QImage>().size(), QSize(100, 100));
        model.thumbnail(1);
        model.thumbnail(2);
        QTRY_VERIFY(model.isThumbnailReady(0));
        const QImage thumb = model.thumbnail(0);
        QCOMPARE(thumb.size(), QSize(100, 50));
        QCOMPARE(QColor(thumb.pixel(50, 25)), QColor(Qt::red));
        QThreadPool::globalInstance()->waitForDone();
        QTest::qWait(50);
        QVERIFY(!model.isThumbnailReady(1));
        QVERIFY(!model.isThumbnailReady(2));
        QCOMPARE(model.data(model.index(1), Qt::DecorationRole).value<QImage>().size(), QSize(100, 100));
    }

    void resultsOfReplacedItemsAreDropped()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath("big.png");
        QVERIFY(writePicture(big, QSize(3000, 3000), Qt::red));
        PictureGridModel model;
        model.setItems({{"Old", big, {}, {}}});
        model.thumbnail(0); // starts loading the old picture
        model.setItems({{"New", dir.filePath("missing.png"), {}, {}}});
        model.thumbnail(0);
        QSignalSpy ready(&model, &PictureGridModel::thumbnailReady);
        QTest::qWait(1500);
        QVERIFY(!model.isThumbnailReady(0));
        QCOMPARE(ready.count(), 0);
    }

    void replacedPictureIsNotServedFromCache()
    {
        QTemporaryDir dir;
        // Same size in bytes before and after: only the time tells the files apart.
        const QString path = dir.filePath("shot.bmp");
        QVERIFY(writePicture(path, QSize(60, 60), Qt::red));
        {
            PictureGridModel model;
            model.setItems({{"Shot", path, {}, {}}});
            model.thumbnail(0);
            QTRY_VERIFY(model.isThumbnailReady(0));
        }
        QVERIFY(writePicture(path, QSize(60, 60), Qt::blue));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
        file.close();
        PictureGridModel model;
        model.setItems({{"Shot", path, {}, {}}});
        model.thumbnail(0);
        QTRY_VERIFY(model.isThumbnailReady(0));
        QCOMPARE(QColor(model.thumbnail(0).pixel(30, 30)), QColor(Qt::blue));
    }

    void viewReportsSelectionAndDoubleClick()
    {
        QTemporaryDir dir;
        QList<PictureGridItem> items;
        for (int i = 0; i < 4; ++i) {
            const QString picture = dir.filePath(QStringLiteral("%1.png").arg(i));
            QVERIFY(writePicture(picture, QSize(40, 40), Qt::green));
            items.append({QStringLiteral("Item %1").arg(i), picture, {}, i});
        }
        PictureGridView view;
        view.resize(600, 300);
        view.setItems(items);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QList<QList<int>> selections;
        connect(&view, &PictureGridView::selectionDidChange, this, [&](const QList<int> &rows) { selections << rows; });
        QList<int> doubleClicked;
        connect(&view, &PictureGridView::itemDoubleClicked, this, [&](int row) { doubleClicked << row; });

        view.setSelectedRows({3, 1});
        QCOMPARE(view.selectedRows(), (QList<int>{1, 3}));
        QCOMPARE(selections.last(), (QList<int>{1, 3}));

        // Ctrl-click adds to the selection; a click elsewhere clears it.
        const QRect third = view.visualRect(view.model()->index(2, 0));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, third.center());
        QCOMPARE(view.selectedRows(), (QList<int>{1, 2, 3}));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(590, 290));
        QCOMPARE(view.selectedRows(), QList<int>{});

        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
        QCOMPARE(doubleClicked, QList<int>{2});
    }
};

QV_TEST(PictureGridTest)
#include "tst_picturegrid.moc"
