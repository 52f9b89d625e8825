#include "TestSupport.h"
#include "WidgetPictures.h"
#include "publishing/ui/FillBGView.h"
#include "publishing/ui/ImageEditView.h"

#include <QPushButton>
#include <QtTest>

using TestPictures::widgetDrawing;

namespace {

struct RecordingDelegate : ImageEditViewDelegate
{
    QStringList calls;
    void ImageEditViewBrowseImage(ImageEditView *view) override { calls << QString("browse %1").arg(view->tag()); }
    void ImageEditViewWillRemoveImage(ImageEditView *view) override { calls << QString("remove %1").arg(view->tag()); }
};

} // namespace

class ImageEditViewTest : public QObject
{
    Q_OBJECT
private slots:
    void drawsFillBorderAndPicture()
    {
        ImageEditView well(QRect(0, 0, 40, 40));
        well.setIsStroke(true);
        well.setStrokeLineValue(0);
        QImage image = widgetDrawing(well);
        QCOMPARE(well.strokeLineValue(), 1.0); // 0 is taken as 1
        QCOMPARE(QColor(image.pixel(0, 20)), QColor(Qt::black));
        QCOMPARE(qAlpha(image.pixel(1, 20)), 0); // one pixel wide, no fill
        QCOMPARE(qAlpha(image.pixel(20, 20)), 0);

        well.setBackgroundColor(Qt::yellow);
        well.setStrokeColor(Qt::red);
        well.setStrokeLineValue(3);
        QImage picture(10, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        well.setImage(picture);
        image = widgetDrawing(well);
        QCOMPARE(QColor(image.pixel(2, 20)), QColor(Qt::red));
        QCOMPARE(QColor(image.pixel(5, 20)), QColor(Qt::yellow)); // beside the fitted picture
        QCOMPARE(QColor(image.pixel(20, 20)), QColor(Qt::blue));
    }

    void hoverPanelAndButtonsReachTheDelegate()
    {
        QWidget host;
        host.resize(200, 200);
        auto *well = new ImageEditView(QRect(10, 10, 100, 100), &host);
        well->setTag(7);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QVERIFY(well->filterView()->isHidden());
        QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
        QCoreApplication::sendEvent(well, &enter);
        QVERIFY(well->filterView()->isVisible());

        well->openButton()->click(); // no delegate: only the panel hides
        QVERIFY(well->filterView()->isHidden());

        RecordingDelegate delegate;
        well->setDelegate(&delegate);
        well->openButton()->click();
        well->deleteButton()->click();
        QCOMPARE(delegate.calls, (QStringList{"browse 7", "remove 7"}));

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(well, &enter);
        QCoreApplication::sendEvent(well, &leave);
        QVERIFY(well->filterView()->isHidden());
    }
};

QV_TEST(ImageEditViewTest)
#include "tst_imageeditview.moc"
