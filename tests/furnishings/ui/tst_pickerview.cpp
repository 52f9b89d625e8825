#include "TestSupport.h"
#include "furnishings/ui/BackgroundSettingView.h"
#include "platform/ui/PictureGridView.h"

#include <QtTest>

// The picker of a furnishing tab tells on each item what a double-click does there.
class PickerViewTest : public QObject
{
    Q_OBJECT
private slots:
    void tipsFollowTheAppliedItemAndMayBePreset()
    {
        BackgroundSettingView view;
        view.setTabID(QStringLiteral("scene"));
        view.setUnselectTip(QStringLiteral("Use this one"));
        view.loadDispViewInf();
        view.setImageList({{"None", "", ""}, {"Garden", "", "Garden"}, {"Sea", "", "Sea"}});
        const auto tip = [&](int row) { return view.imageView()->model()->index(row, 0).data(Qt::ToolTipRole).toString(); };
        QVERIFY(tip(0).isEmpty()); // nothing applied: nothing to cancel
        view.applyItemAt(2);
        QVERIFY(tip(0).contains("scene") && tip(0) == view.cancelTip());
        QCOMPARE(tip(1), QString("Use this one"));
        QVERIFY(tip(2).contains("scene") && tip(2) == view.selectedTip() && tip(2) != tip(0));
    }
};

QV_TEST(PickerViewTest)
#include "tst_pickerview.moc"
