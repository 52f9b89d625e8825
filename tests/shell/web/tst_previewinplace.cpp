#include "MainWindowSteps.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/FlashMenuItem.h"
#include "project/BookDocument.h"
#include "shell/BookSession.h"
#include "shell/PreviewAddress.h"
#include "shell/PreviewServer.h"
#include "templates/FlashTemplate.h"

#include <QWebEngineView>
#include <QtTest>

namespace {

constexpr int kLong = 90000;

bool holds(PreviewPane *pane, const char *script)
{
    return QTest::qWaitFor([&] { return evaluate(pane, QString::fromLatin1(script)).toBool(); }, kLong);
}

// What the reader sees of the settings: colours as drawn, the toolbar, the page box,
// and the configuration the viewer works with.
QString snapshot(PreviewPane *pane)
{
    return evaluate(pane, QStringLiteral("JSON.stringify([getComputedStyle(document.getElementById('qv-app')).backgroundColor,"
                                         " document.querySelector('.qv-toolbar').outerHTML, document.querySelector('.qv-page-input').value,"
                                         " Object.assign({}, bookConfig, {pages: bookConfig.pages.length})])"))
        .toString();
}

} // namespace

// The preview in the window's web view takes a change of settings in place and looks as
// the book loaded again does; other changes, and another page in the view, load the book.
class PreviewInPlaceTest : public QObject
{
    Q_OBJECT
private slots:
    void settingsReachTheBookOnShowInPlace()
    {
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QSignalSpy shown(&app, &QuorvelAppDelegate::previewShown);
        QVERIFY(startWithDemo(app, driver));
        PreviewPane *pane = app.mainWindow()->previewPane();
        const char *stands = "!!(window.Quorvel && Quorvel.reader && !document.querySelector('.qv-preloader'))";
        QVERIFY(shown.wait(kLong) && holds(pane, stands));
        pane->goToPage(4);
        QTRY_COMPARE_WITH_TIMEOUT(pane->currentPage(), 4, 10000);
        const int generation = shown.last().first().toInt();
        evaluate(pane, QStringLiteral("window.sameDocument = true"));

        // Colours and a toolbar button, and a text holding quotes, a line separator and
        // placeholders: shown in place, in the same document on the same page.
        const QString caption = QStringLiteral("%2 %1 </script> \u2028 \"quoted\" \\");
        FlashMenuItem entry;
        entry.setCaption(caption);
        entry.setType(FlashMenuItem::GoToPage);
        entry.setContent(QStringLiteral("3"));
        setDesignSetting(app, QStringLiteral("backgroundColor"), QStringLiteral("0xAA3300"));
        setDesignSetting(app, QStringLiteral("showZoomButton"), QStringLiteral("No"));
        setDesignSetting(app, QStringLiteral("flashMenu"), FlashMenuItem::menuXmlString({entry}));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(pane, QStringLiteral("bookConfig.menuItems.length && bookConfig.menuItems[0].caption")).toString(),
                                  caption, kLong);
        QVERIFY(holds(pane, "window.sameDocument === true && !document.querySelector('.qv-button-zoom')"));
        QCOMPARE(shown.last().first().toInt(), generation);
        QCOMPARE(pane->currentPage(), 4);
        QCOMPARE(evaluate(pane, QStringLiteral("getComputedStyle(document.getElementById('qv-app')).backgroundColor")).toString(),
                 QStringLiteral("rgb(170, 51, 0)"));
        // The book loaded again looks the same.
        const QString inPlace = snapshot(pane);
        QSignalSpy loaded(pane, &PreviewPane::bookLoaded);
        pane->showBook(app.previewServer().baseUrl(), false, generation + 100);
        QVERIFY(loaded.wait(kLong) && holds(pane, stands));
        QTRY_COMPARE_WITH_TIMEOUT(pane->currentPage(), 4, 10000);
        QCOMPARE(snapshot(pane), inPlace);

        // A setting the viewer reads only at its start: the book is loaded again.
        evaluate(pane, QStringLiteral("window.sameDocument = true"));
        setDesignSetting(app, QStringLiteral("rightToLeft"), QStringLiteral("Yes"));
        QTRY_VERIFY_WITH_TIMEOUT(shown.last().first().toInt() > generation, kLong);
        QVERIFY(holds(pane, "!window.sameDocument && !!window.bookConfig && bookConfig.rightToLeft === true"));

        // The phone version on show takes the phone template's settings in place.
        app.mainWindow()->displayModeButton(MainWindow::DisplayMode::Mobile)->click();
        QVERIFY(holds(pane, "location.pathname.endsWith('/mobile/index.html')") && holds(pane, stands));
        const int phone = shown.last().first().toInt();
        evaluate(pane, QStringLiteral("window.sameDocument = true"));
        setDesignSetting(app, QStringLiteral("backgroundColor"), QStringLiteral("0x00AA00"));
        QVERIFY(holds(pane, "bookConfig.backgroundColor === '#00AA00' && window.sameDocument === true"));
        QCOMPARE(shown.last().first().toInt(), phone);
        QCOMPARE(app.session()->document().mobileTemplate()->propertyValue(QStringLiteral("backgroundColor")),
                 QStringLiteral("0x00AA00"));

        // The view went on to another page of the preview (a page among the book's files,
        // through a link of the book), which would take a configuration and say it showed
        // it: it is given nothing, and the book comes back.
        QVERIFY(TestFiles::writeFile(app.previewFolder() + "/mobile/files/note.html",
                                     "<title>elsewhere</title><script>window.Quorvel = {applySettings: function (c) {"
                                     " document.title = 'got ' + JSON.stringify(c).length; return 'applied'; }};</script>"));
        QStringList titles;
        connect(pane->webEngineView(), &QWebEngineView::titleChanged, this, [&](const QString &t) { titles << t; });
        evaluate(pane, QStringLiteral("location.href = 'files/note.html'"));
        QTRY_VERIFY_WITH_TIMEOUT(titles.contains(QStringLiteral("elsewhere")), kLong);
        setDesignSetting(app, QStringLiteral("backgroundColor"), QStringLiteral("0x123456"));
        QTRY_VERIFY_WITH_TIMEOUT(shown.last().first().toInt() > phone, kLong);
        QVERIFY(holds(pane, "!!window.bookConfig && bookConfig.backgroundColor === '#123456'"));
        QVERIFY(PreviewAddress::isBookUrl(app.previewServer().baseUrl(), pane->currentUrl()));
        for (const QString &title : std::as_const(titles))
            QVERIFY2(!title.startsWith(QLatin1String("got")), qPrintable(title));
    }
};

QV_TEST(PreviewInPlaceTest)
#include "tst_previewinplace.moc"
