#include "MainWindowSteps.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragDeleteDelegate.h"
#include "platform/ui/DragDeleteDetectView.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "platform/ui/WindowController.h"
#include "shell/ui/BookMarkTabsDelegate.h"
#include "shell/ui/BookmarkOutlineView.h"
#include "shell/ui/BookmarkTabSetting.h"
#include "shell/ui/BookmarkTabsView.h"
#include "shell/ui/FlashOutlineDelegate.h"
#include "shell/ui/MainWindow.h"
#include "templates/TemplateNotifications.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace TestFiles;

namespace {

// Counts the change notifications of one kind.
class Posted
{
public:
    explicit Posted(const QString &name)
    {
        NotificationCenter::defaultCenter()->addObserver(&m_observer, name, nullptr, [this](const Notification &) { ++count; });
    }
    int count = 0;

private:
    QObject m_observer;
};

QStringList captions(const BookMarkTabs &tabs)
{
    QStringList list;
    for (const BookMarkTabItem &item : tabs.TabItems())
        list << QStringLiteral("%1@%2").arg(item.caption()).arg(item.pageIndex());
    return list;
}

QStringList titles(const QList<FlashOutlineItemPtr> &items)
{
    QStringList list;
    for (const FlashOutlineItemPtr &item : items)
        list << item->caption();
    return list;
}

// The end of a drag of list that left the window with no target.
void dragOut(QAbstractItemView *list, QMimeData *data)
{
    const QPoint outside = list->mapToGlobal(QPoint(list->width() + 200, list->height() + 200));
    QVERIFY(DragDeleteDetectView::detectViewOfWindow(list->window())->dragFinished(list, *data, outside, false));
    delete data;
}

} // namespace

class BookmarkEditorsTest : public QObject
{
    Q_OBJECT
private slots:
    void tabsAreAddedChangedMovedAndDeletedInTheMainWindow()
    {
        UiTestDriver driver;
        MainWindow window;
        window.show();
        window.designTabView()->setCurrentWidget(window.tabPage("bookmarkTabs"));
        BookmarkTabsView *page = window.bookmarkTabsView();
        // Three tabs on a four-page book (the flow test adds them through the tab dialog).
        auto tabs = std::make_shared<BookMarkTabs>();
        tabs->TabItems() << BookMarkTabItem::tabItemWithCaption("One", Qt::red, 1)
                         << BookMarkTabItem::tabItemWithCaption("Two ]]> \"quoted\"", Qt::green, 3)
                         << BookMarkTabItem::tabItemWithCaption("Three", Qt::blue, 4);
        page->setBookmarkTabs(tabs, [] { return 4; });
        control<QSlider>(page, "sldOpacity")->setValue(70);
        QCOMPARE(tabs->alpha(), 0.7);

        // Modify from the second tab: a change, then the previous key keeps it and shows
        // the first tab; Close keeps that one as it is.
        QTreeView *list = page->tabList();
        list->selectionModel()->select(list->model()->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        driver.answerModal([](WindowController *c) {
            QCOMPARE(control<QLineEdit>(c->window(), "txtPage")->text(), QString("3"));
            control<QLineEdit>(c->window(), "txtCaption")->setText("Second");
            c->window()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(c->window()));
            QTest::keySequence(c->window(), BookmarkTabSetting::previousShortcut());
            QCOMPARE(control<QLineEdit>(c->window(), "txtCaption")->text(), QString("One"));
            control<QPushButton>(c->window(), "btnCancel")->click();
        });
        control<QPushButton>(page, "btnEditTab")->click();
        QCOMPARE(captions(*tabs), (QStringList{"One@1", "Second@3", "Three@4"}));

        // A click on the third swatch chooses the third tab's colour, whatever is selected.
        const QString firstColor = tabs->TabItems().at(0).color();
        list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        driver.answerModal([](WindowController *c) {
            QTest::keyClicks(c->window()->findChild<QLineEdit *>("txtValue"), "0x3366cc");
            control<QPushButton>(c->window(), "btnOK")->click();
        });
        const QRect swatch = list->visualRect(list->model()->index(2, BookMarkTabsDelegate::ColorColumn));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, swatch.center());
        QCOMPARE(tabs->TabItems().at(2).color(), QString("0x3366CC"));
        QCOMPARE(tabs->TabItems().at(0).color(), firstColor);

        // Dragging the first tab to the end; drops that are not this list's own drag
        // in progress, or name rows that are not tabs, change nothing.
        BookMarkTabsDelegate *model = page->tabsDelegate();
        std::unique_ptr<QMimeData> foreign(RowDragMime::mimeData(BookmarkTabsDataType, {0}));
        QVERIFY(!model->canDropMimeData(foreign.get(), Qt::MoveAction, 3, 0, {}));
        std::unique_ptr<QMimeData> drag(model->mimeData({model->index(0, 0)}));
        std::unique_ptr<QMimeData> forged(RowDragMime::mimeData(BookmarkTabsDataType, {0, 7}));
        model->dropMimeData(forged.get(), Qt::MoveAction, 3, 0, {});
        QCOMPARE(captions(*tabs).first(), QString("One@1"));
        model->dropMimeData(drag.get(), Qt::MoveAction, 3, 0, {});
        QCOMPARE(captions(*tabs), (QStringList{"Second@3", "Three@4", "One@1"}));
        QCOMPARE(list->selectionModel()->selectedRows().value(0).row(), 2);

        // Dragged out of the window: deleted.
        dragOut(list, model->mimeData({model->index(1, 0)}));
        QCOMPARE(captions(*tabs), (QStringList{"Second@3", "One@1"}));

        // The settings of all tabs.
        control<QRadioButton>(page, "rdSide")->click();
        QCOMPARE(tabs->topOrSide(), QString("Side"));
        const QStringList colors = {tabs->TabItems().at(0).color(), tabs->TabItems().at(1).color()};
        control<QPushButton>(page, "btnRandomColors")->click();
        QVERIFY(tabs->TabItems().at(0).color() != colors.at(0) || tabs->TabItems().at(1).color() != colors.at(1));

        // Tab files: saved, refused when another XML file is opened, read back.
        QTemporaryDir dir;
        const QString file = dir.filePath("tabs.xml");
        driver.answerPanel({file});
        control<QPushButton>(page, "btnSaveTabs")->click();
        QTRY_VERIFY(QFileInfo::exists(file));
        QVERIFY(readText(file).contains("TopOrSide=\"Side\""));
        driver.answerPanel({dir.filePath("missing/tabs.xml")});
        driver.answerAlert("OK");
        control<QPushButton>(page, "btnSaveTabs")->click();
        QTRY_COMPARE(driver.alerts().size(), 1);

        writeFile(dir.filePath("other.xml"), "<menus><Tab pageIndex=\"2\"/></menus>");
        driver.answerPanel({dir.filePath("other.xml")});
        driver.answerAlert("OK");
        control<QPushButton>(page, "btnOpenTabs")->click();
        QTRY_COMPARE(driver.alerts().size(), 2);
        QCOMPARE(tabs->TabItems().size(), 2);

        list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        control<QPushButton>(page, "btnDeleteTab")->click();
        QCOMPARE(captions(*tabs), QStringList{"One@1"});
        driver.answerPanel({file});
        control<QPushButton>(page, "btnOpenTabs")->click();
        QTRY_COMPARE(tabs->TabItems().size(), 2);
        QCOMPARE(tabs->TabItems().at(0).caption(), QString("Second"));
        QVERIFY(control<QRadioButton>(page, "rdSide")->isChecked());
    }

    void bookmarksAreMovedAndDeleted()
    {
        MainWindow window;
        window.show();
        BookmarkOutlineView *view = window.bookmarkOutline();
        // Appendix (p9) > [Site (link)]; Chapter (p1) > [Section (p2) > [Detail (p3)]]
        auto outline = std::make_shared<FlashOutline>();
        auto chapter = FlashOutlineItem::create("Chapter", 1);
        auto section = FlashOutlineItem::create("Section", 2);
        auto site = FlashOutlineItem::create("Site", 0);
        site->setPageUrl("https://example.com/");
        auto appendix = FlashOutlineItem::create("Appendix", 9);
        chapter->appendChild(section);
        appendix->appendChild(site);
        section->appendChild(FlashOutlineItem::create("Detail", 3));
        outline->appendItem(appendix);
        outline->appendItem(chapter);
        view->setOutline(outline);
        FlashOutlineDelegate *model = view->outlineDelegate();
        Posted changes(FlashTmplProValueChangedNotification);

        // Emptied, the caption stays empty.
        QVERIFY(model->setData(model->indexForItem(appendix.get()), QString()));
        QVERIFY(appendix->caption().isEmpty() && !appendix->caption().isNull());
        QCOMPARE(model->indexForItem(appendix.get()).data().toString(), QString());
        appendix->setCaption("Appendix");
        QCOMPARE(changes.count, 1);

        // Into its own subtree: refused; nothing lost, nothing doubled. A stale drag
        // (its bookmark moved since) is refused too.
        std::unique_ptr<QMimeData> drag(model->mimeData({model->indexForItem(chapter.get())}));
        const QModelIndex detail = model->index(0, 0, model->indexForItem(section.get()));
        QVERIFY(!model->canDropMimeData(drag.get(), Qt::MoveAction, -1, 0, detail));
        QVERIFY(!model->dropMimeData(drag.get(), Qt::MoveAction, -1, 0, detail));
        QCOMPARE(outline->totalCount(), 5);
        std::unique_ptr<QMimeData> stale(model->mimeData({model->indexForItem(site.get())}));
        drag.reset(model->mimeData({model->indexForItem(chapter.get())}));
        model->dropMimeData(stale.get(), Qt::MoveAction, 0, 0, {});
        QCOMPARE(titles(outline->items()), (QStringList{"Appendix", "Chapter"}));
        QCOMPARE(titles(appendix->childItems()), QStringList{"Site"});

        // Dragged out: the only child of Appendix goes and the row above (Appendix) is
        // selected; the last top-level bookmark goes and the one above is selected.
        dragOut(view, model->mimeData({model->indexForItem(site.get())}));
        QVERIFY(appendix->childItems().isEmpty());
        QCOMPARE(view->currentIndex(), model->indexForItem(appendix.get()));
        dragOut(view, model->mimeData({model->indexForItem(chapter.get())}));
        QCOMPARE(titles(outline->items()), QStringList{"Appendix"});
        QCOMPARE(view->currentIndex(), model->indexForItem(appendix.get()));
        dragOut(view, model->mimeData({model->indexForItem(appendix.get())}));
        QVERIFY(outline->isEmpty());
        QVERIFY(view->selectionModel()->selectedIndexes().isEmpty());
    }
};

QV_TEST(BookmarkEditorsTest)
#include "tst_bookmarkeditors.moc"
