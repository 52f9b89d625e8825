#include "TestSupport.h"
#include "platform/DrawObject.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {
QImage canvas()
{
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

bool painted(const QImage &image, int x, int y)
{
    return qAlpha(image.pixel(x, y)) > 128;
}
} // namespace

class DrawObjectTest : public QObject
{
    Q_OBJECT
private slots:
    void sectorsRunCounterClockwiseFromStartToEnd()
    {
        // 0 to 90 degrees: the quarter up and to the right on screen.
        QImage image = canvas();
        {
            QPainter p(&image);
            DrawObject::fillDrawCircle(p, QPointF(50, 50), 40, 0, 90, Qt::green);
        }
        QVERIFY(painted(image, 70, 30));
        QVERIFY(!painted(image, 30, 30));
        QVERIFY(!painted(image, 70, 70));

        // 90 to 0 sweeps the other three quarters.
        image = canvas();
        {
            QPainter p(&image);
            DrawObject::fillDrawCircle(p, QPointF(50, 50), 40, 90, 0, Qt::green);
        }
        QVERIFY(!painted(image, 70, 30));
        QVERIFY(painted(image, 30, 30));
        QVERIFY(painted(image, 30, 70));
        QVERIFY(painted(image, 70, 70));

        QCOMPARE(DrawObject::sweep(0, 360), 360.0);
        QCOMPARE(DrawObject::sweep(10, 10), 0.0);
        QCOMPARE(DrawObject::sweep(-90, 90), 180.0);
    }

    void ringAndSignsStayInTheirRect()
    {
        QImage image = canvas();
        {
            QPainter p(&image);
            DrawObject::strokeDrawCircle(p, QPointF(50, 50), 40, 0, 360, 2, Qt::gray);
            DrawObject::drawErrorSign(p, QRectF(30, 30, 40, 40), Qt::white);
        }
        QVERIFY(painted(image, 90, 50)); // on the ring
        QVERIFY(painted(image, 10, 50));
        QVERIFY(painted(image, 50, 50)); // the cross meets in the middle
        QVERIFY(!painted(image, 50, 32)); // between the arms
        QVERIFY(!painted(image, 25, 25)); // outside the sign

        image = canvas();
        {
            QPainter p(&image);
            DrawObject::drawConfirmSign(p, QRectF(20, 20, 60, 60), Qt::white);
        }
        QVERIFY(painted(image, 78, 22)); // the long stroke ends top right
        QVERIFY(!painted(image, 22, 78));
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                if (!QRect(18, 18, 64, 64).contains(x, y))
                    QVERIFY2(!painted(image, x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }
};

QV_TEST(DrawObjectTest)
#include "tst_drawobject.moc"
