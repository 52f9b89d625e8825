#include "MainWindowSteps.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/FlashMenuItem.h"
#include "platform/ui/QvWebView.h"
#include "platform/ui/UiTestDriver.h"
#include "project/BookDocument.h"
#include "shell/BookSession.h"
#include "shell/PreviewAddress.h"
#include "shell/PreviewServer.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PreviewPane.h"
#include "shell/ui/QuorvelAppDelegate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include <QAbstractButton>
#include <QJsonDocument>
#include <QWebEngineView>
#include <QtTest>

namespace {

constexpr int kLong = 90000;

bool viewerStands(PreviewPane *pane)
{
    return QTest::qWaitFor(
        [&] {
            return evaluate(pane, QStringLiteral("!!(window.Quorvel && Quorvel.reader && !document.querySelector('.qv-preloader'))"))
                .toBool();
        },
        kLong);
}

// What the reader sees of the settings in the view: colours as drawn, the toolbar, the
// page box, and the settings the viewer works with.
QString snapshot(PreviewPane *pane)
{
    return evaluate(pane, QStringLiteral(
                              "JSON.stringify({app: getComputedStyle(document.getElementById('qv-app')).backgroundColor,"
                              " toolbar: document.querySelector('.qv-toolbar').outerHTML,"
                              " bar: getComputedStyle(document.querySelector('.qv-toolbar')).backgroundColor,"
                              " box: (document.querySelector('.qv-page-input') || {}).value,"
                              " config: Object.assign({}, bookConfig, {pages: bookConfig.pages.length})})"))
        .toString();
}

// The program on the demo book, its preview shown.
struct DemoPreview
{
    UiTestDriver driver;
    QuorvelAppDelegate app;
    QSignalSpy shown{&app, &QuorvelAppDelegate::previewShown};
    PreviewPane *pane = nullptr;

    bool start()
    {
        if (!startWithDemo(app, driver))
            return false;
        pane = app.mainWindow()->previewPane();
        return shown.wait(kLong) && viewerStands(pane);
    }
};

} // namespace

// The preview in the window's web view takes a change of settings in place, and looks as
// the book loaded again does; other changes, and other pages in the view, load the book.
class PreviewInPlaceTest : public QObject
{
    Q_OBJECT
private slots:
    void settingsReachTheBookOnShowInPlace()
    {
        DemoPreview demo;
        QVERIFY(demo.start());
        QuorvelAppDelegate &app = demo.app;
        QSignalSpy &shown = demo.shown;
        PreviewPane *pane = demo.pane;
        pane->goToPage(4);
        QTRY_COMPARE_WITH_TIMEOUT(pane->currentPage(), 4, 10000);
        const int generation = shown.last().first().toInt();
        const QUrl address = pane->currentUrl();
        evaluate(pane, QStringLiteral("window.sameDocument = true"));

        // Colours and a toolbar button: shown in place, the same document on the same page.
        setDesignSetting(app, QStringLiteral("backgroundColor"), QStringLiteral("0xAA3300"));
        setDesignSetting(app, QStringLiteral("showZoomButton"), QStringLiteral("No"));
        QVERIFY(shown.wait(kLong));
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(pane, QStringLiteral("bookConfig.showZoomButton === false")).toBool(), kLong);
        QCOMPARE(shown.last().first().toInt(), generation);
        QCOMPARE(pane->requestedUrl().query(), QUrl(address).query());
        QVERIFY(evaluate(pane, QStringLiteral("window.sameDocument === true")).toBool());
        QCOMPARE(pane->currentPage(), 4);
        QCOMPARE(evaluate(pane, QStringLiteral("getComputedStyle(document.getElementById('qv-app')).backgroundColor")).toString(),
                 QStringLiteral("rgb(170, 51, 0)"));
        QCOMPARE(evaluate(pane, QStringLiteral("document.querySelectorAll('.qv-button-zoom').length")).toInt(), 0);
        // The page got what config.js holds now; loaded again, the book looks the same.
        const QString inPlace = snapshot(pane);
        QSignalSpy loaded(pane, &PreviewPane::bookLoaded);
        pane->showBook(app.previewServer().baseUrl(), false, generation + 100);
        QVERIFY(loaded.wait(kLong));
        QVERIFY(viewerStands(pane));
        QTRY_COMPARE_WITH_TIMEOUT(pane->currentPage(), 4, 10000);
        QVERIFY(!evaluate(pane, QStringLiteral("window.sameDocument")).toBool());
        QCOMPARE(snapshot(pane), inPlace);

        // Texts reach the page as they are, whatever they hold.
        evaluate(pane, QStringLiteral("window.sameDocument = true"));
        const QString caption = QStringLiteral("%2 %1 </script> \u2028 \"quoted\" 'single' \\");
        FlashMenuItem entry;
        entry.setCaption(caption);
        entry.setType(FlashMenuItem::GoToPage);
        entry.setContent(QStringLiteral("3"));
        setDesignSetting(app, QStringLiteral("flashMenu"), FlashMenuItem::menuXmlString({entry}));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(pane, QStringLiteral("bookConfig.menuItems.length ? bookConfig.menuItems[0].caption : ''")).toString(),
                                  caption, kLong);
        QVERIFY(evaluate(pane, QStringLiteral("window.sameDocument === true")).toBool());

        // A setting the viewer reads only at its start: the book is loaded again.
        evaluate(pane, QStringLiteral("window.sameDocument = true"));
        setDesignSetting(app, QStringLiteral("rightToLeft"), QStringLiteral("Yes"));
        QTRY_VERIFY_WITH_TIMEOUT(shown.last().first().toInt() > generation, kLong);
        QTRY_VERIFY_WITH_TIMEOUT(
            evaluate(pane, QStringLiteral("!window.sameDocument && window.bookConfig && bookConfig.rightToLeft === true")).toBool(), kLong);
        QVERIFY(viewerStands(pane));

        // The phone version on show takes the phone template's settings in place.
        const int shownBefore = shown.count();
        app.mainWindow()->displayModeButton(MainWindow::DisplayMode::Mobile)->click();
        QTRY_VERIFY_WITH_TIMEOUT(shown.count() > shownBefore, kLong);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(pane, QStringLiteral("location.pathname.endsWith('/mobile/index.html')")).toBool(), kLong);
        QVERIFY(viewerStands(pane));
        const int phoneGeneration = shown.last().first().toInt();
        evaluate(pane, QStringLiteral("window.sameDocument = true"));
        setDesignSetting(app, QStringLiteral("backgroundColor"), QStringLiteral("0x00AA00"));
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(pane, QStringLiteral("bookConfig.backgroundColor === '#00AA00'")).toBool(), kLong);
        QCOMPARE(shown.last().first().toInt(), phoneGeneration);
        QVERIFY(evaluate(pane, QStringLiteral("window.sameDocument === true")).toBool());
        QCOMPARE(evaluate(pane, QStringLiteral("getComputedStyle(document.getElementById('qv-app')).backgroundColor")).toString(),
                 QStringLiteral("rgb(0, 170, 0)"));
        QCOMPARE(app.session()->document().mobileTemplate()->propertyValue(QStringLiteral("backgroundColor")),
                 QStringLiteral("0x00AA00"));
    }

    void anotherPageInTheViewIsGivenNothing()
    {
        DemoPreview demo;
        QVERIFY(demo.start());
        PreviewPane *pane = demo.pane;
        const int generation = demo.shown.last().first().toInt();

        // The view went on to another page of the preview (a page among the book's files,
        // through a link of the book), which would take a configuration and say it showed it.
        QVERIFY(TestFiles::writeFile(demo.app.previewFolder() + "/files/note.html",
                                     "<title>elsewhere</title><script>window.Quorvel = {applySettings: function (c) {"
                                     " document.title = 'got ' + JSON.stringify(c).length; return 'applied'; }};</script>"));
        QStringList titles;
        connect(pane->webEngineView(), &QWebEngineView::titleChanged, this, [&](const QString &t) { titles << t; });
        evaluate(pane, QStringLiteral("location.href = 'files/note.html'"));
        QTRY_VERIFY_WITH_TIMEOUT(titles.contains(QStringLiteral("elsewhere")), kLong);

        setDesignSetting(demo.app, QStringLiteral("backgroundColor"), QStringLiteral("0x123456"));
        QTRY_VERIFY_WITH_TIMEOUT(demo.shown.last().first().toInt() > generation, kLong); // the book is loaded again
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(pane, QStringLiteral("window.bookConfig && bookConfig.backgroundColor")).toString(),
                                  QStringLiteral("#123456"), kLong);
        QVERIFY(viewerStands(pane));
        QVERIFY(PreviewAddress::isBookUrl(demo.app.previewServer().baseUrl(), pane->currentUrl()));
        for (const QString &title : std::as_const(titles))
            QVERIFY2(!title.startsWith(QLatin1String("got")), qPrintable(title));
    }
};

QV_TEST(PreviewInPlaceTest)
#include "tst_previewinplace.moc"
