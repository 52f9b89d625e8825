#include "TestSupport.h"
#include "platform/NotificationCenter.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/TemplateNotifications.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QtTest>

class FlashTemplateModelTest : public QObject
{
    Q_OBJECT
private slots:
    void treeMirrorsTheTemplate()
    {
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        FlashTemplateModel model(&tmpl);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        const QModelIndex color = model.indexForKey("backgroundColor", FlashTemplateModel::ValueColumn);
        QCOMPARE(color.data(Qt::DecorationRole).value<QColor>(), QColor(0x2E, 0x3B, 0x4E));
        const QModelIndex shadow = model.indexForKey("pageShadow", FlashTemplateModel::ValueColumn);
        QCOMPARE(shadow.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!(model.flags(model.index(0, FlashTemplateModel::ValueColumn)) & Qt::ItemIsEditable)); // category
    }

    void editingPostsTheChangeNotification()
    {
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        FlashTemplateModel model(&tmpl);
        QObject observer;
        QList<Notification> seen;
        NotificationCenter::defaultCenter()->addObserver(&observer, FlashTmplProValueChangedNotification, nullptr,
                                                         [&](const Notification &n) { seen << n; });
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        const QModelIndex color = model.indexForKey("backgroundColor", FlashTemplateModel::ValueColumn);
        QVERIFY(model.setData(color, QColor(0x10, 0x20, 0x30)));
        QCOMPARE(tmpl.propertyValue("backgroundColor"), QStringLiteral("0x102030"));
        QCOMPARE(seen.size(), 1);

        QVERIFY(model.setData(color, "#102030")); // same colour: nothing to record
        QVERIFY(!model.setData(color, "not a colour"));
        QCOMPARE(seen.size(), 1);

        const QModelIndex shadow = model.indexForKey("pageShadow", FlashTemplateModel::ValueColumn);
        QVERIFY(model.setData(shadow, Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(tmpl.propertyValue("pageShadow"), QStringLiteral("No"));
        QCOMPARE(seen.size(), 2);

        // Changes made elsewhere (a style, an editor) reach the view without a notification of the model.
        tmpl.setPropertyValue("iconColor", "0x000000");
        QCOMPARE(changed.size(), 3);
        QCOMPARE(seen.size(), 2);
    }

    void loadingAnotherTemplateResetsTheModel()
    {
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        FlashTemplateModel model(&tmpl);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Metro")));
        QVERIFY(!model.indexForKey("hardCover").isValid());
        QVERIFY(model.indexForKey("flipDuration").isValid());
        QCOMPARE(model.indexForKey("flipDuration", 1).data().toString(), QStringLiteral("300"));

        // A template that goes away leaves an empty model, not one pointing into freed settings.
        auto *doomed = new FlashTemplate;
        QVERIFY(doomed->loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        FlashTemplateModel orphan(doomed);
        QAbstractItemModelTester orphanTester(&orphan, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QPersistentModelIndex kept = orphan.indexForKey("pageShadow");
        delete doomed;
        QCOMPARE(orphan.rowCount(), 0);
        QVERIFY(!kept.isValid());
    }
};

QV_TEST(FlashTemplateModelTest)
#include "tst_flashtemplatemodel.moc"
