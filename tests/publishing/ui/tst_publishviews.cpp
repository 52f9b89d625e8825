#include "TestSupport.h"
#include "publishing/ui/PPDetailView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

class PublishViewsTest : public QObject
{
    Q_OBJECT
private slots:
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
