#include "TestSupport.h"
#include "furnishings/FlashOutline.h"
#include "shell/ui/BookmarkOutlineView.h"
#include "shell/ui/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void displayModeShowsTheTabsThatApply()
    {
        MainWindow window;
        QVERIFY(window.isTabShown(QStringLiteral("assistant")));
        QVERIFY(!window.isTabShown(QStringLiteral("mobile template")));

        window.designTabView()->setCurrentWidget(window.tabPage(QStringLiteral("scene")));
        window.displayModeButton(MainWindow::DisplayMode::Mobile)->click();
        QCOMPARE(window.displayMode(), MainWindow::DisplayMode::Mobile);
        // The tab that was open is hidden now: a shown one takes its place.
        QVERIFY(window.isTabShown(window.designTabView()->currentWidget()->property("identifier").toString()));
        QVERIFY(!window.displayModeButton(MainWindow::DisplayMode::Bookcase)->isEnabled());
    }

    void aNarrowSidePaneReachesEveryTabWithItsArrows()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QSplitter *>("mainSplitter")->setSizes({1, 1439}); // as narrow as it goes
        QTabBar *bar = window.designTabView()->tabBar();
        const int last = window.designTabView()->indexOf(window.tabPage(QStringLiteral("assistant")));
        QTRY_VERIFY(!bar->rect().contains(bar->tabRect(last)));
        // The arrow moves the bar on until the last tab of the mode is in view.
        auto *right = bar->findChild<QToolButton *>("ScrollRightButton");
        for (int clicks = 0; clicks < 20 && right->isEnabled(); ++clicks)
            right->click();
        QVERIFY(bar->rect().contains(bar->tabRect(last)));
    }

    void commandsFollowTheOpenBook()
    {
        MainWindow window;
        for (const char *name : {"save", "saveAs", "closeBook", "publish", "previewInBrowser"})
            QVERIFY2(!window.action(QString::fromLatin1(name))->isEnabled(), name);
        window.setBookOpen(true);
        QVERIFY(window.action(QStringLiteral("save"))->isEnabled());
        QVERIFY(window.action(QStringLiteral("publish"))->isEnabled());
        // Undo and redo are the design settings' own.
        QVERIFY(window.editMenu()->actions().contains(window.action(QStringLiteral("undo"))));
    }

    void bookmarksTurnThePreview()
    {
        auto outline = std::make_shared<FlashOutline>();
        auto chapter = FlashOutlineItem::create(QStringLiteral("Chapter"), 3);
        chapter->appendChild(FlashOutlineItem::create(QStringLiteral("Section"), 4));
        chapter->appendChild(FlashOutlineItem::create(QStringLiteral("Web"), 0));
        outline->appendItem(chapter);
        BookmarkOutlineView view;
        view.setOutline(outline);
        QSignalSpy pages(&view, &BookmarkOutlineView::pageActivated);
        const QModelIndex top = view.model()->index(0, 0);
        emit view.clicked(view.model()->index(0, 0, top));
        emit view.clicked(view.model()->index(1, 0, top)); // opens no page
        QCOMPARE(pages.count(), 1);
        QCOMPARE(pages.first().first().toInt(), 4);

        view.clearOutline();
        QCOMPARE(view.model()->rowCount(), 0);
    }

    void closingCanBeRefused()
    {
        MainWindow window;
        bool allow = false;
        window.setShouldClose([&] { return allow; });
        window.show();
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        allow = true;
        QVERIFY(window.close());
    }
};

QV_TEST(MainWindowTest)
#include "tst_mainwindow.moc"
