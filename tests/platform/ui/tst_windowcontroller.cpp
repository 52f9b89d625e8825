#include "TestSupport.h"
#include "UiTestHelpers.h"
#include "platform/ui/FMButton.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RoundView.h"
#include "platform/ui/WindowController.h"

#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QtTest>

namespace {

class ProbeController : public WindowController
{
public:
    explicit ProbeController(WindowLoader::Lookup lookup = WindowLoader::Lookup::Localized)
        : WindowController(QStringLiteral("ProbeWindow"), lookup)
    {
    }

    QString presetTitle; // set by the opener before the window loads
    int awakeCalls = 0;
    int willCloseCalls = 0;
    QString textAtWillClose;

    QLineEdit *txtTitle = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
    FMButton *btnMore = nullptr;

protected:
    void bindOutlets() override
    {
        outlet(txtTitle, "txtTitle");
        outlet(btnOK, "btnOK");
        outlet(btnCancel, "btnCancel");
        outlet(btnMore, "btnMore");
    }
    void awakeFromNib() override
    {
        ++awakeCalls;
        txtTitle->setText(presetTitle);
        QObject::connect(btnOK, &QPushButton::clicked, this, [this] { closeWindowWithCode(1); });
        QObject::connect(btnCancel, &QPushButton::clicked, this, [this] { closeWindowWithCode(0); });
    }
    void windowWillClose() override
    {
        ++willCloseCalls;
        textAtWillClose = txtTitle->text();
    }
};

class BrokenOutletController : public WindowController
{
public:
    explicit BrokenOutletController(bool wrongType)
        : WindowController(QStringLiteral("ProbeWindow")), m_wrongType(wrongType)
    {
    }

protected:
    void bindOutlets() override
    {
        QPushButton *ok = nullptr;
        outlet(ok, "btnOK");
        if (m_wrongType) {
            QLineEdit *field = nullptr;
            outlet(field, "btnCancel");
        } else {
            QPushButton *publish = nullptr;
            outlet(publish, "btnPublish");
        }
    }

private:
    bool m_wrongType;
};

QString errorOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const WindowLoadError &e) {
        return QString::fromStdString(e.what());
    }
    return {};
}

} // namespace

class WindowControllerTest : public QObject
{
    Q_OBJECT
private slots:
    void localizedLookupFallsBackToEnglishThenResources()
    {
        ScopedResources res;
        res.addProbe(QStringLiteral("de.lproj/ProbeWindow.ui"), QStringLiteral("de"));
        res.addProbe(QStringLiteral("en.lproj/ProbeWindow.ui"), QStringLiteral("en"));
        res.addProbe(QStringLiteral("ProbeWindow.ui"), QStringLiteral("root"));
        setCurrentLanguageCode(QStringLiteral("de"));

        auto titleOf = [](WindowLoader::Lookup lookup) {
            ProbeController c(lookup);
            return c.window()->windowTitle();
        };
        QCOMPARE(titleOf(WindowLoader::Lookup::Localized), QStringLiteral("de"));
        // The plain lookup never looks into a language folder other than English.
        QCOMPARE(titleOf(WindowLoader::Lookup::ByName), QStringLiteral("root"));

        QFile::remove(res.path(QStringLiteral("de.lproj/ProbeWindow.ui")));
        QCOMPARE(titleOf(WindowLoader::Lookup::Localized), QStringLiteral("en"));

        QFile::remove(res.path(QStringLiteral("ProbeWindow.ui")));
        QCOMPARE(titleOf(WindowLoader::Lookup::ByName), QStringLiteral("en"));

        res.addProbe(QStringLiteral("ProbeWindow.ui"), QStringLiteral("root"));
        QFile::remove(res.path(QStringLiteral("en.lproj/ProbeWindow.ui")));
        QCOMPARE(titleOf(WindowLoader::Lookup::Localized), QStringLiteral("root"));

        setCurrentLanguageCode(QStringLiteral("fr"));
        ProbeController c;
        c.window();
        QCOMPARE(c.windowNibPath(), QDir::cleanPath(res.path(QStringLiteral("ProbeWindow.ui"))));
    }

    void missingDescriptionAndOutletsAreClearErrors()
    {
        ScopedResources res;
        {
            ProbeController c;
            const QString error = errorOf([&] { c.window(); });
            QVERIFY2(error.contains(QStringLiteral("ProbeWindow")), qPrintable(error));
            QVERIFY(!c.isWindowLoaded());
        }
        res.addProbe(QStringLiteral("en.lproj/ProbeWindow.ui"), QStringLiteral("en"));

        BrokenOutletController missing(false);
        QString error = errorOf([&] { missing.window(); });
        QVERIFY2(error.contains(QStringLiteral("btnPublish")), qPrintable(error));
        // A failed load leaves nothing half made: asking again fails again.
        QVERIFY(!missing.isWindowLoaded());
        QVERIFY(!errorOf([&] { missing.window(); }).isEmpty());

        BrokenOutletController mistyped(true);
        error = errorOf([&] { mistyped.window(); });
        QVERIFY2(error.contains(QStringLiteral("btnCancel")), qPrintable(error));
    }

    void windowLoadsOnFirstRequestWithPropertiesInPlace()
    {
        ScopedResources res;
        res.addProbe(QStringLiteral("en.lproj/ProbeWindow.ui"), QStringLiteral("en"));
        ProbeController c;
        c.presetTitle = QStringLiteral("My scene");
        QVERIFY(!c.isWindowLoaded());
        QvWindow *w = c.window();
        QCOMPARE(c.txtTitle->text(), QStringLiteral("My scene"));
        QCOMPARE(c.window(), w);
        // The platform's own widget classes come out of the description by name.
        QVERIFY(qobject_cast<RoundView *>(w->findChild<QWidget *>(QStringLiteral("detailPane"))));
        QCOMPARE(c.btnMore->identifier(), QStringLiteral("more"));
        QCOMPARE(WindowController::controllerForWidget(c.btnMore), &c);
    }

    void closeBoxEscapeAndButtonsEndModalRunWithCloseCode()
    {
        ScopedResources res;
        res.addProbe(QStringLiteral("en.lproj/ProbeWindow.ui"), QStringLiteral("en"));
        ProbeController c;
        UiTestDriver driver;

        driver.answerModal([](WindowController *w) { w->window()->close(); });
        QCOMPARE(c.runModal(), 0);

        driver.answerModal([](WindowController *w) {
            w->setCloseMode(7);
            QTest::keyClick(w->window(), Qt::Key_Escape);
        });
        QCOMPARE(c.runModal(), 7);

        driver.answerModal([](WindowController *w) {
            auto *p = static_cast<ProbeController *>(w);
            p->txtTitle->setText(QStringLiteral("typed"));
            p->btnOK->click();
        });
        QCOMPARE(c.runModal(), 1);
        QCOMPARE(c.textAtWillClose, QStringLiteral("typed"));
        // Closing never destroyed the window.
        QCOMPARE(c.awakeCalls, 1);
    }

    void closeRefusedWhileWorkerRuns()
    {
        ScopedResources res;
        res.addProbe(QStringLiteral("en.lproj/ProbeWindow.ui"), QStringLiteral("en"));
        ProbeController c;
        UiTestDriver driver;
        bool stillRunning = false;
        driver.answerModal([&](WindowController *w) {
            w->setWorkerRunning(true);
            w->window()->close();
            QTest::keyClick(w->window(), Qt::Key_Escape);
            stillRunning = w->isRunningModal() && w->window()->isVisible();
            // The worker ends and reports from its own thread.
            QThread *worker = QThread::create([w] { w->closeWindowWithCodeOnMainThread(1); });
            QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
            w->setWorkerRunning(false);
            worker->start();
        });
        QCOMPARE(c.runModal(), 1);
        QVERIFY(stillRunning);
        QCOMPARE(c.willCloseCalls, 1);
    }

    void sheetEndsWithCallbackAndLeavesParent()
    {
        ScopedResources res;
        res.addProbe(QStringLiteral("en.lproj/ProbeWindow.ui"), QStringLiteral("en"));
        UiTestDriver driver;
        QWidget mainWindow;
        mainWindow.resize(600, 400);
        mainWindow.show();

        auto *c = new ProbeController;
        QList<int> codes;
        c->beginSheet(&mainWindow, [&](int code) { codes << code; });
        QCOMPARE(c->window()->windowModality(), Qt::WindowModal);
        QCOMPARE(c->window()->parentWidget(), &mainWindow);
        QVERIFY(c->window()->isVisible());

        c->btnOK->click();
        QCOMPARE(codes, QList<int>{1});
        QVERIFY(!c->window()->isVisible());
        // The dialog no longer hangs on the main window, so it outlives it safely.
        QCOMPARE(c->window()->parentWidget(), nullptr);

        c->setCloseMode(0);
        c->beginSheet(&mainWindow, [&](int code) { codes << code; });
        QTest::keyClick(c->window(), Qt::Key_Escape);
        QCOMPARE(codes, (QList<int>{1, 0}));
        delete c;
    }

    void unansweredModalRunFailsInsteadOfHanging()
    {
        ScopedResources res;
        res.addProbe(QStringLiteral("en.lproj/ProbeWindow.ui"), QStringLiteral("en"));
        ExpectDriverFailures failures;
        ProbeController c;
        {
            UiTestDriver driver;
            c.setCloseMode(4);
            QCOMPARE(c.runModal(), 4);
            QCOMPARE(failures.messages.size(), 1);

            // A handler that does not end its window is ended after the timeout.
            driver.setModalTimeout(50);
            driver.answerModal([](WindowController *) {});
            QCOMPARE(c.runModal(), 4);
            QCOMPARE(failures.messages.size(), 2);

            driver.answerModal([](WindowController *) {});
        }
        // The answer never asked for fails when the driver goes.
        QCOMPARE(failures.messages.size(), 3);
    }
};

QV_TEST(WindowControllerTest)
#include "tst_windowcontroller.moc"
