#include "TestSupport.h"
#include "WidgetPictures.h"
#include "publishing/ui/DrawSingleLine.h"
#include "publishing/ui/PPDetailView.h"
#include "publishing/ui/RoundButtonCell.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

using TestPictures::widgetDrawing;

class PublishViewsTest : public QObject
{
    Q_OBJECT
private slots:
    void singleLineFadesTowardsBothEnds()
    {
        DrawSingleLine line(QRect(0, 0, 200, 1), nullptr);
        line.setPercent(0.05);
        line.setBackgroundColor(Qt::red);
        QImage image = widgetDrawing(line);
        QCOMPARE(qAlpha(image.pixel(60, 0)), 255); // solid between 10% and 90%
        QVERIFY(qAlpha(image.pixel(0, 0)) < 20 && qAlpha(image.pixel(199, 0)) < 20);

        // A vertical line fades along its height; an unset colour draws gray.
        DrawSingleLine vertical(QRect(0, 0, 1, 100), nullptr);
        vertical.setPosition(1);
        image = widgetDrawing(vertical);
        QCOMPARE(QColor(image.pixel(0, 50)), QColor(Qt::gray));
        QVERIFY(qAlpha(image.pixel(0, 0)) < 30 && qAlpha(image.pixel(0, 99)) < 30);
    }

    void detailViewEnablesVersionAndIdTogether()
    {
        PPDetailView view(QRect(0, 0, 591, 145));
        view.show();
        view.setEnabled(false);
        QVERIFY(!view.comVersion()->isEnabled() && !view.txtID()->isEnabled());
        QVERIFY(view.lblVersion()->isEnabled() && view.lblID()->isEnabled() && view.lblURL()->isEnabled());

        // Removed controls are skipped, not touched.
        delete view.comVersion();
        delete view.txtID();
        view.setEnabled(false);
        view.resize(600, 150);
    }

    void roundButtonCellIsASwatchWithALightRim()
    {
        RoundButtonCell cell;
        cell.setText(QStringLiteral("never drawn"));
        cell.setBackgroundColor(QColor(0, 0, 255));
        cell.resize(40, 24);
        const QImage image = widgetDrawing(cell);
        QCOMPARE(QColor(image.pixel(20, 12)), QColor(0, 0, 255)); // no title over the colour
        const QColor rim(image.pixel(20, 0));
        QVERIFY2(qAbs(rim.red() - rim.blue()) < 60 && rim.red() > 120, qPrintable(rim.name()));
    }
};

QV_TEST(PublishViewsTest)
#include "tst_publishviews.moc"
