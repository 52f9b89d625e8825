#include "TestSupport.h"
#include "UiTestHelpers.h"
#include "platform/ui/LogAlert.h"

#include <QThread>
#include <QtTest>

class LogAlertTest : public QObject
{
    Q_OBJECT
private slots:
    void driverAnswersAndRecordsWhatWasShown()
    {
        UiTestDriver driver;
        driver.answerAlert(QStringLiteral("Cancel"));
        driver.answerAlert(QStringLiteral("OK"));
        driver.answerAlert(QStringLiteral("OK"));
        driver.answerAlert(QStringLiteral("Don't Save"));

        QVERIFY(!LogAlert::askOKCancel(QStringLiteral("Delete?"), QStringLiteral("Are you sure?")));
        QVERIFY(LogAlert::askOKCancel(QStringLiteral("Delete?"), QString()));
        LogAlert::alertMessage(QStringLiteral("The book cover not found!"), QString());

        AlertRequest request;
        request.buttons = {QStringLiteral("Save"), QStringLiteral("Cancel"), QStringLiteral("Don't Save")};
        QCOMPARE(LogAlert::runAlert(request), 2);

        QCOMPARE(driver.alerts().size(), 4);
    }

    void keysOnTheRealAlertBox()
    {
        UiTestDriver driver;
        // Escape presses "YES" and Return presses "NO".
        driver.answerAlertWithKey(Qt::Key_Escape);
        QVERIFY(LogAlert::askYesNo(QStringLiteral("Attention!"), QStringLiteral("Continue?")));
        driver.answerAlertWithKey(Qt::Key_Return);
        QVERIFY(!LogAlert::askYesNo(QStringLiteral("Attention!"), QStringLiteral("Continue?")));

        driver.answerAlertWithKey(Qt::Key_Escape);
        QVERIFY(!LogAlert::askOKCancel(QStringLiteral("Delete?"), QString()));
        driver.answerAlertWithKey(Qt::Key_Return);
        QVERIFY(LogAlert::askOKCancel(QStringLiteral("Delete?"), QString()));

        // A custom alert: the button titled Cancel takes Escape, the first takes Return.
        AlertRequest request;
        request.buttons = {QStringLiteral("Replace"), QStringLiteral("Cancel"), QStringLiteral("Keep both")};
        driver.answerAlertWithKey(Qt::Key_Escape);
        QCOMPARE(LogAlert::runAlert(request), 1);
        driver.answerAlertWithKey(Qt::Key_Return);
        QCOMPARE(LogAlert::runAlert(request), 0);
    }

    void unansweredOrWrongAnswersFailWithoutHanging()
    {
        ExpectDriverFailures failures;
        {
            UiTestDriver driver;
            // Ends like Escape would: Cancel.
            QVERIFY(!LogAlert::askOKCancel(QStringLiteral("Nobody answers"), QString()));
            QCOMPARE(failures.messages.size(), 1);

            driver.answerAlert(QStringLiteral("Maybe"));
            QVERIFY(!LogAlert::askOKCancel(QStringLiteral("Delete?"), QString()));
            QCOMPARE(failures.messages.size(), 2);

            driver.answerAlert(QStringLiteral("OK"));
        }
        QCOMPARE(failures.messages.size(), 3);
    }

    void alertFromWorkerRunsOnMainThread()
    {
        UiTestDriver driver;
        // A key answer builds a real message box, which only the main thread may do.
        driver.answerAlertWithKey(Qt::Key_Return);
        bool answer = false;
        bool done = false;
        QThread *worker = QThread::create([&] {
            answer = LogAlert::askOKCancel(QStringLiteral("publish error"), QString());
            done = true;
        });
        worker->start();
        QTRY_VERIFY(done);
        worker->wait();
        delete worker;
        QVERIFY(answer);
        QCOMPARE(driver.alerts().size(), 1);
    }

    void sheetAlertAnswersLater()
    {
        UiTestDriver driver;
        QWidget window;
        window.show();
        driver.answerAlert(QStringLiteral("Cancel"));
        AlertRequest request;
        request.buttons = {QStringLiteral("OK"), QStringLiteral("Cancel")};
        int answer = -1;
        LogAlert::beginAlertSheet(request, &window, [&](int index) { answer = index; });
        QCOMPARE(answer, -1);
        QTRY_COMPARE(answer, 1);
        QVERIFY(driver.alerts().first().sheet);
    }
};

QV_TEST(LogAlertTest)
#include "tst_logalert.moc"
