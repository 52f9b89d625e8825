#include "TestFiles.h"
#include "TestSupport.h"
#include "UiTestHelpers.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "platform/ui/HyperLinkString.h"
#include "platform/ui/ListSelectCell.h"
#include "platform/ui/WidgetUtility.h"
#include "platform/ui/WindowController.h"
#include "platform/ui/Workspace.h"

#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

namespace {
// Puts an opener of our own with the given shell body first on the PATH (for the rest
// of the test program); returns the file next to it that a body may note things in.
QString installOpener(const QTemporaryDir &dir, const char *body)
{
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QString opener = bin + QStringLiteral("/xdg-open");
    TestFiles::writeFile(opener, QByteArray("#!/bin/sh\n") + body + "\n");
    QFile::setPermissions(opener, QFile::permissions(opener) | QFileDevice::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
    return bin + QStringLiteral("/opened.txt");
}

class ColorChooser : public WindowController
{
public:
    ColorPanel *panel = nullptr;

protected:
    QvWindow *createWindow() override { return panel = new ColorPanel; }
};
} // namespace

class PlatformWidgetsTest : public QObject
{
    Q_OBJECT
private slots:
    void listCellsKeepShortcutsAndShowFrameOnHover()
    {
        QPushButton ok(QStringLiteral("Done"));
        ok.setShortcut(QKeySequence(Qt::Key_Return));
        ListSelectCell::textCell(&ok, QStringLiteral("OK"));
        QCOMPARE(ok.shortcut(), QKeySequence(Qt::Key_Return));
        QVERIFY(ok.isFlat());
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(&ok, &enter);
        QVERIFY(!ok.isFlat());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&ok, &leave);
        QVERIFY(ok.isFlat());

        QToolButton add;
        add.setText(QStringLiteral("Add"));
        add.setShortcut(QKeySequence(Qt::Key_Plus));
        ListSelectCell::imageCell(&add, QIcon());
        QVERIFY(add.text().isEmpty());
        QCOMPARE(add.shortcut(), QKeySequence(Qt::Key_Plus));
        QVERIFY(add.autoRaise());
    }

    void hyperlinkKeepsTextLiteralAndOpensThroughWorkspace()
    {
        UiTestDriver driver;
        QLabel label(QStringLiteral("How to insert <Flipbook> & more?"));
        const QUrl url(QStringLiteral("https://example.com/help?a=1&b=\"2\""));
        HyperLinkString::setHyperlinkToTextField(&label, url);
        QTextDocument doc;
        doc.setHtml(label.text());
        QCOMPARE(doc.toPlainText(), QStringLiteral("How to insert <Flipbook> & more?"));
        // Linking again keeps the original text rather than nesting links.
        HyperLinkString::setHyperlinkToTextField(&label, url);
        doc.setHtml(label.text());
        QCOMPARE(doc.toPlainText(), QStringLiteral("How to insert <Flipbook> & more?"));

        const int start = label.text().indexOf(QStringLiteral("href=\"")) + 6;
        const QString href = label.text().mid(start, label.text().indexOf(QLatin1Char('"'), start) - start);
        emit label.linkActivated(QTextDocumentFragment::fromHtml(href).toPlainText());
        QCOMPARE(driver.workspaceRequests().size(), 1);
        QCOMPARE(QUrl(driver.workspaceRequests().first().target), url);
    }

    void snapshotOfPartOfAWindow()
    {
        QWidget window;
        window.resize(200, 150);
        auto *red = new QWidget(&window);
        red->setGeometry(20, 30, 50, 40);
        red->setAutoFillBackground(true);
        QPalette p = red->palette();
        p.setColor(QPalette::Window, Qt::red);
        red->setPalette(p);
        QVERIFY(snapRectInWindow(&window, QRect(20, 30, 50, 40)).isNull()); // not shown
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QImage shot = snapRectInWindow(red, QRect(20, 30, 50, 40));
        QCOMPARE(shot.deviceIndependentSize().toSize(), QSize(50, 40));
        QCOMPARE(QColor(shot.pixel(shot.width() / 2, shot.height() / 2)), QColor(Qt::red));
        QVERIFY(snapRectInWindow(&window, QRect(500, 500, 10, 10)).isNull());
    }

    void menuPopsUpAtThePointOfTheView()
    {
        QWidget window;
        window.setGeometry(100, 100, 300, 200);
        auto *view = new QWidget(&window);
        view->setGeometry(40, 50, 200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QMenu menu;
        menu.addAction(QStringLiteral("Import"));
        WidgetUtility::simulatePopMenu(&menu, QPoint(10, 20), view);
        QVERIFY(menu.isVisible());
        QCOMPARE(menu.pos(), view->mapToGlobal(QPoint(10, 20)));
        menu.hide();
    }

    void revealFallsBackToTheFolder()
    {
        // No session bus here: the file manager cannot be asked.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("book.html"));
        QVERIFY(TestFiles::writeFile(file));

        UiTestDriver driver;
        QVERIFY(Workspace::selectFile(file));
        QCOMPARE(driver.workspaceRequests().first().kind, QStringLiteral("reveal"));

        driver.setWorkspacePassThrough(true);
        const QString opened = installOpener(dir, "printf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/opened.txt\"");
        QVERIFY(Workspace::selectFile(file));
        QVERIFY(!Workspace::selectFile(dir.filePath(QStringLiteral("missing.html"))));
        QVERIFY(Workspace::openFile(file));
        // The folder is shown, never the file opened in its application.
        const auto openedItems = [&] {
            QStringList lines = QString::fromUtf8(TestFiles::readFile(opened)).split('\n', Qt::SkipEmptyParts);
            lines.sort();
            return lines;
        };
        QTRY_COMPARE(openedItems(),
                     (QStringList{QUrl::fromLocalFile(dir.path()).toString(), QUrl::fromLocalFile(file).toString()}));
        QVERIFY(driver.alerts().isEmpty());
    }

    void anOpenerThatFailsIsReportedWithItsReason()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("book.html"));
        QVERIFY(TestFiles::writeFile(file));
        UiTestDriver driver;
        driver.setWorkspacePassThrough(true);
        installOpener(dir, "echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3");
        driver.answerAlert(QStringLiteral("OK"));
        driver.answerAlert(QStringLiteral("OK"));
        QVERIFY(Workspace::openFile(file));
        QVERIFY(Workspace::openURL(QUrl(QStringLiteral("http://127.0.0.1:9/#p=3"))));
        QTRY_COMPARE(driver.alerts().size(), 2);
        for (const UiTestDriver::ShownAlert &alert : driver.alerts())
            QVERIFY2(alert.informativeText.startsWith(QStringLiteral("xdg-open: no method available for opening")),
                     qPrintable(alert.informativeText));
        // The two openers fail in either order.
        QVERIFY(std::any_of(driver.alerts().begin(), driver.alerts().end(), [](const UiTestDriver::ShownAlert &alert) {
            return alert.messageText.contains(QStringLiteral("book.html"));
        }));

        // No opener at all: said at once.
        qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("nowhere"))));
        driver.answerAlert(QStringLiteral("OK"));
        QVERIFY(!Workspace::openFile(file));
        QCOMPARE(driver.alerts().size(), 3);
        QVERIFY(!driver.alerts().last().informativeText.isEmpty());
    }

    void colorPanelReportsLiveAndEscapeEndsItsRun()
    {
        UiTestDriver driver;
        ColorChooser chooser;
        ColorPanel *panel = static_cast<ColorPanel *>(chooser.window());
        QList<QColor> live;
        QObject observer;
        int notes = 0;
        NotificationCenter::defaultCenter()->addObserver(&observer, ColorPanelColorDidChangeNotification, panel,
                                                         [&](const Notification &) { ++notes; });
        connect(panel, &ColorPanel::colorChanged, this, [&](const QColor &c) { live << c; });

        driver.answerModal([&](WindowController *) {
            panel->colorChooser()->setCurrentColor(QColor(0x12, 0x34, 0x00));
            // Escape inside the chooser goes to the panel, which ends its run.
            QWidget *inner = panel->colorChooser()->findChild<QLineEdit *>();
            QVERIFY(inner);
            QTest::keyClick(inner, Qt::Key_Escape);
        });
        chooser.setCloseMode(0);
        QCOMPARE(chooser.runModal(), 0);
        QCOMPARE(live.last(), QColor(0x12, 0x34, 0x00));
        QCOMPARE(notes, live.size());
        QCOMPARE(panel->color(), QColor(0x12, 0x34, 0x00));
    }

    void colorChooserTakesTypedValuesAndAsksAtTheCloseBox()
    {
        UiTestDriver driver;
        QList<QColor> shown;
        const auto cell = [&](const QColor &c) { shown << c; };
        const QColor start(0x20, 0x40, 0x60);

        // The close box asks; Cancel there restores the colour from before.
        driver.answerModal([](WindowController *c) {
            static_cast<ColorPanelDelegate *>(c)->setColor(Qt::yellow);
            c->window()->close();
        });
        driver.answerAlert("Cancel");
        shown.clear();
        QCOMPARE(ColorPanelDelegate::chooseColor(this, start, cell), std::nullopt);
        QVERIFY(shown.contains(QColor(Qt::yellow))); // followed live
        QCOMPARE(shown.last(), start);
        QCOMPARE(driver.alerts().size(), 1);
        QVERIFY(driver.alerts().last().sheet); // asked on the panel

        // OK there takes the colour.
        driver.answerModal([](WindowController *c) {
            static_cast<ColorPanelDelegate *>(c)->setColor(Qt::cyan);
            QTest::keyClick(c->window(), Qt::Key_Escape);
        });
        driver.answerAlert("OK");
        QCOMPARE(ColorPanelDelegate::chooseColor(this, start, cell), std::optional<QColor>(QColor(Qt::cyan)));
    }

    void theValueFieldKeepsTheKeyboardWhileTypedInto()
    {
        // Typed through the window, key by key: "0" and "ff" are swatch colours on the
        // way. What is no hexadecimal digit is dropped; the colour follows live, a short
        // value read as its first digits ("1234" is 0x123400).
        UiTestDriver driver;
        QStringList typed;
        QList<QColor> shown;
        driver.answerModal([&](WindowController *c) {
            QWindow *window = c->window()->windowHandle();
            QLineEdit *value = c->window()->findChild<QLineEdit *>("txtValue");
            for (const QString &text : {QStringLiteral("0x33zz66cc"), QStringLiteral("12zz34"), QStringLiteral("ff8800")}) {
                value->clear();
                value->setFocus();
                for (const QChar key : text)
                    QTest::keyClick(window, key.toLatin1());
                typed << value->text();
            }
            QTest::keyClick(window, Qt::Key_Return);
        });
        QCOMPARE(ColorPanelDelegate::chooseColor(this, Qt::white, [&](const QColor &c) { shown << c; }),
                 std::optional<QColor>(QColor(0xff, 0x88, 0x00)));
        QCOMPARE(typed, QStringList({"0x3366cc", "1234", "ff8800"}));
        QVERIFY(shown.contains(QColor(0x33, 0x66, 0xcc)));
        QVERIFY(shown.contains(QColor(0x12, 0x34, 0x00)));
    }
};

QV_TEST(PlatformWidgetsTest)
#include "tst_platformwidgets.moc"
