#include "TestSupport.h"
#include "publishing/ui/AssistantSettingView.h"
#include "publishing/ui/PPDetailView.h"
#include "publishing/ui/SimpleCell.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

class PublishViewsTest : public QObject
{
    Q_OBJECT
private slots:
    // The Assistant tab's button speaks in the window's own font and shows its whole
    // text in the tab's width.
    void recordSettingsButtonShowsItsText()
    {
        AssistantSettingView view;
        view.resize(263, 541);
        view.loadDispViewInf();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        SimpleCell *button = view.btnRecordManage();
        QCOMPARE(button->font().pointSizeF(), view.font().pointSizeF());
        QVERIFY2(button->width() >= button->sizeHint().width(),
                 qPrintable(QStringLiteral("%1 < %2").arg(button->width()).arg(button->sizeHint().width())));
        QVERIFY(button->geometry().right() < view.width());
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
};

QV_TEST(PublishViewsTest)
#include "tst_publishviews.moc"
