#include "MainWindowSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "project/BookDocument.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"
#include "shell/BookSession.h"
#include "shell/ui/BookMarkTabsDelegate.h"
#include "shell/ui/BookmarkOutlineView.h"
#include "shell/ui/BookmarkTabsView.h"
#include "shell/ui/FlashOutlineDelegate.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/QuorvelAppDelegate.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 90000;

// Renames the bookmark titled from in place, as a double click and typing do.
void rename(BookmarkOutlineView *view, const FlashOutlineItemPtr &item, const QString &to)
{
    view->edit(view->outlineDelegate()->indexForItem(item.get()));
    auto *editor = view->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(to);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(item->caption(), to);
}

// Drags item and drops it in the list: on parent (null: the root) at row (-1: onto parent).
void drag(BookmarkOutlineView *view, const FlashOutlineItemPtr &item, const FlashOutlineItemPtr &parent, int row)
{
    FlashOutlineDelegate *model = view->outlineDelegate();
    std::unique_ptr<QMimeData> data(model->mimeData({model->indexForItem(item.get())}));
    const QModelIndex target = parent ? model->indexForItem(parent.get()) : QModelIndex();
    QVERIFY(model->canDropMimeData(data.get(), Qt::MoveAction, row, 0, target));
    model->dropMimeData(data.get(), Qt::MoveAction, row, 0, target);
}

FlashOutlineItemPtr find(const QList<FlashOutlineItemPtr> &items, const QString &caption)
{
    for (const FlashOutlineItemPtr &item : items) {
        if (item->caption() == caption)
            return item;
        if (FlashOutlineItemPtr below = find(item->childItems(), caption))
            return below;
    }
    return nullptr;
}

QString tree(const QList<FlashOutlineItemPtr> &items)
{
    QStringList parts;
    for (const FlashOutlineItemPtr &item : items)
        parts << (item->childItems().isEmpty() ? item->caption()
                                               : item->caption() + "[" + tree(item->childItems()) + "]");
    return parts.join(",");
}

} // namespace

// The bookmark tabs and the bookmark outline edited in the main window, saved,
// reopened and published from the Book menu. QUORVEL_BOOK_OUT names the folder to
// publish into (the browser test reads the book there); a temporary one otherwise.
class BookmarkEditorsFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void editedTabsAndBookmarksReachThePublishedBook()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Guide.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        QVERIFY(PdfFixtures::addOutline(pdf, {{"Intro", 0},
                                              {"Chapter A", 1, {}, {{"A.1", 2}}},
                                              {"Web", 0, "https://example.com/guide"},
                                              {"Chapter B", 3}}));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QSignalSpy shown(&app, &QuorvelAppDelegate::previewShown);
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        QVERIFY(shown.wait(kLong));
        MainWindow *window = app.mainWindow();

        // Three tabs through the tab dialog; the first one's colour through its swatch;
        // the tabs on the side edge with their page numbers.
        BookmarkTabsView *tabsPage = window->bookmarkTabsView();
        driver.answerModal([](WindowController *c) {
            enterBookmarkTab(c, "Start");
            enterBookmarkTab(c, "Middle ]]> & <b>");
            enterBookmarkTab(c, "End", "4");
        });
        driver.answerAlert("NO"); // no tab past the book
        control<QPushButton>(tabsPage, "btnAddTab")->click();
        driver.answerModal([](WindowController *c) {
            QTest::keyClicks(control<QLineEdit>(c->window(), "txtValue"), "e53935");
            control<QPushButton>(c->window(), "btnOK")->click();
        });
        tabsPage->tabsDelegate()->onOpenColorPanel(0);
        control<QRadioButton>(tabsPage, "rdSide")->click();
        control<QCheckBox>(tabsPage, "chkShowPage")->click();

        // Two bookmarks renamed, Chapter B moved first, the link bookmark into Chapter B,
        // then Part One with its child back to the top.
        BookmarkOutlineView *bookmarks = window->bookmarkOutline();
        const auto outline = app.session()->document().flashOutline();
        QCOMPARE(tree(outline->items()), QString("Intro,Chapter A[A.1],Web,Chapter B"));
        rename(bookmarks, find(outline->items(), "Chapter A"), "Part One");
        rename(bookmarks, find(outline->items(), "A.1"), "Details");
        drag(bookmarks, find(outline->items(), "Chapter B"), nullptr, 0);
        drag(bookmarks, find(outline->items(), "Web"), find(outline->items(), "Chapter B"), -1);
        QCOMPARE(tree(outline->items()), QString("Chapter B[Web],Intro,Part One[Details]"));
        drag(bookmarks, find(outline->items(), "Part One"), nullptr, 0);
        QCOMPARE(tree(outline->items()), QString("Part One[Details],Chapter B[Web],Intro"));

        // The book has changed and the preview follows.
        QVERIFY(app.session()->isModified());
        shown.clear();
        QVERIFY(shown.wait(kLong));
        QTRY_VERIFY_WITH_TIMEOUT(readText(app.previewFolder() + "/files/outline.js").contains("Part One"), kLong);

        const QString project = dir.filePath("Guide.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        QVERIFY(app.openProject(project));

        // Back from the project: the outline in its new order, the moved link bookmark
        // with its address, both editors showing the reopened book (the browser test
        // reads the tabs in the published book).
        const BookParts &parts = app.session()->document().parts();
        QCOMPARE(tree(parts.outline()->items()), QString("Part One[Details],Chapter B[Web],Intro"));
        QCOMPARE(find(parts.outline()->items(), "Web")->pageUrl(), QString("https://example.com/guide"));
        QCOMPARE(window->bookmarkTabsView()->bookmarkTabs(), parts.bookmarkTabs());
        QCOMPARE(window->bookmarkOutline()->outlineDelegate()->flashOutline(), parts.outline());

        QVERIFY(publishWebFolder(app, driver, out, "Guide", {}, kLong));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(BookmarkEditorsFlowTest)
#include "tst_bookmarkeditorsflow.moc"
