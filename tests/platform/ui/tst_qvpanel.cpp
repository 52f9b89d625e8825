#include "TestSupport.h"
#include "UiTestHelpers.h"
#include "platform/ui/QvPanel.h"

#include <QThread>
#include <QtTest>

class QvPanelTest : public QObject
{
    Q_OBJECT
private slots:
    void endCallRunsLaterOnMainThreadAndCancelCallsNothing()
    {
        UiTestDriver driver;
        QWidget owner;
        QvPanel panel;
        panel.setIsOpenPanel(true);
        panel.setTypes({QStringLiteral("swf")});
        panel.setDirectory(QStringLiteral("/nonexistent/folder"));
        panel.setOwer(&owner);
        QList<QUrl> chosen;
        Qt::HANDLE thread = nullptr;
        panel.setEndPanelSelector([&](QvPanel *p) {
            chosen = p->URLs();
            thread = QThread::currentThreadId();
        });

        driver.answerPanel({QStringLiteral("/tmp/a.swf"), QStringLiteral("/tmp/b.swf")});
        panel.runModel();
        QVERIFY(chosen.isEmpty()); // the end call comes after the panel closed
        QTRY_COMPARE(chosen.size(), 2);
        QCOMPARE(panel.URL(), QUrl::fromLocalFile(QStringLiteral("/tmp/a.swf")));
        QCOMPARE(thread, QThread::currentThreadId());

        chosen.clear();
        driver.cancelPanel();
        panel.runModel();
        QTest::qWait(20);
        QVERIFY(chosen.isEmpty());
        QVERIFY(panel.URL().isEmpty());
    }

    void endCallDroppedWhenOwnerIsGone()
    {
        UiTestDriver driver;
        auto *owner = new QWidget;
        QvPanel panel;
        panel.setOwer(owner);
        bool called = false;
        panel.setEndPanelSelector([&](QvPanel *) { called = true; });
        driver.answerPanel({QStringLiteral("/tmp/x.png")});
        panel.runModel();
        delete owner;
        QTest::qWait(20);
        QVERIFY(!called);
    }

    void saveNameGetsAnAllowedExtension()
    {
        UiTestDriver driver;
        QvPanel panel;
        panel.setIsOpenPanel(false);
        panel.setTypes({QStringLiteral("scp"), QStringLiteral("zip")});
        panel.setNameFieldStringValue(QStringLiteral("My scene"));
        QStringList saved;
        panel.setEndPanelSelector([&](QvPanel *p) { saved << p->URL().toLocalFile(); });
        for (const char *name : {"/tmp/My scene", "/tmp/pack.ZIP", "/tmp/v1.2"}) {
            driver.answerPanel({QString::fromLatin1(name)});
            panel.runModel();
        }
        QTRY_COMPARE(saved.size(), 3);
        QCOMPARE(saved, (QStringList{"/tmp/My scene.scp", "/tmp/pack.ZIP", "/tmp/v1.2.scp"}));

        // With other types allowed the name stays as typed.
        panel.setAllowsOtherFileTypes(true);
        driver.answerPanel({QStringLiteral("/tmp/notes.txt")});
        panel.runModel();
        QTRY_COMPARE(saved.size(), 4);
        QCOMPARE(saved.last(), QStringLiteral("/tmp/notes.txt"));
    }
};

QV_TEST(QvPanelTest)
#include "tst_qvpanel.moc"
