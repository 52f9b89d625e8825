#include "TestSupport.h"
#include "furnishings/ui/BackgroundSettingView.h"
#include "platform/ui/PictureGridView.h"

#include <QtTest>

namespace {

QStringList tipsOf(BackgroundSettingView &view)
{
    QStringList tips;
    QAbstractItemModel *model = view.imageView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        tips << model->index(row, 0).data(Qt::ToolTipRole).toString();
    return tips;
}

} // namespace

// The picker of a furnishing tab tells on each item what a double-click does there.
class PickerViewTest : public QObject
{
    Q_OBJECT
private slots:
    void tipsFollowTheAppliedItemAndMayBePreset()
    {
        BackgroundSettingView view;
        view.setTabID(QStringLiteral("scene"));
        view.setUnselectTip(QStringLiteral("Double click to use this one"));
        view.loadDispViewInf();
        view.setImageList({{"None", "", ""}, {"Garden", "", "Garden"}, {"Sea", "", "Sea"}});
        const QStringList before = tipsOf(view);
        QCOMPARE(before.value(0), QString()); // nothing applied: nothing to cancel
        QCOMPARE(before.value(1), QString("Double click to use this one"));

        view.applyItemAt(2);
        const QStringList tips = tipsOf(view);
        QVERIFY(tips.value(0).contains("scene"));
        QCOMPARE(tips.value(1), QString("Double click to use this one"));
        QVERIFY(tips.value(2).contains("scene") && tips.value(2) != tips.value(0));
        QCOMPARE(view.cancelTip(), tips.value(0));
        QCOMPARE(view.selectedTip(), tips.value(2));
    }
};

QV_TEST(PickerViewTest)
#include "tst_pickerview.moc"
