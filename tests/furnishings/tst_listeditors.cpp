#include "TestSupport.h"
#include "furnishings/BookmarkTabsModel.h"
#include "furnishings/FlashMenuModel.h"
#include "furnishings/OtherIconsModel.h"
#include "furnishings/SceneLayersModel.h"
#include "platform/RowDragMime.h"

#include <QMimeData>
#include <QtTest>

namespace {

// The drag of rows that the list's view starts (every column of each row).
std::unique_ptr<QMimeData> dragOf(RowListModel &model, const QList<int> &rows)
{
    QModelIndexList indexes;
    for (int row : rows)
        for (int column = 0; column < model.columnCount(); ++column)
            indexes << model.index(row, column);
    return std::unique_ptr<QMimeData>(model.mimeData(indexes));
}

// Dropped inside the list before dropRow, as the view does it.
void drag(RowListModel &model, const QList<int> &rows, int dropRow)
{
    model.dropMimeData(dragOf(model, rows).get(), Qt::MoveAction, dropRow, 0, {});
}

template <class T, class Text>
QString order(const RowListOf<T> &model, Text text)
{
    QString all;
    for (const T &item : model.items())
        all += text(item);
    return all;
}

QString files(const SceneLayersModel &model)
{
    return order(model, [](const SceneObject &layer) { return layer.file(); });
}

} // namespace

// The list editors' rows (scene layers, viewer menu, extra icons, bookmark tabs) are
// moved, dragged and dragged out in their models, without a window.
class ListEditorsTest : public QObject
{
    Q_OBJECT
private slots:
    void sceneLayersMoveTogetherAndOnlyTheirOwnDragDeletes()
    {
        SceneLayersModel model;
        for (const char *file : {"a", "b", "c", "d", "e"})
            model.append(SceneObject(file, 0, SceneObject::TopLeft));
        drag(model, {1, 0}, 5); // below the last: at the end, in their order
        QCOMPARE(files(model), QString("cdeab"));
        drag(model, {4}, 0);
        QCOMPARE(files(model), QString("bcdea"));

        // Dragged out: exactly the dragged layer goes, once.
        const QByteArray rows = dragOf(model, {2})->data(SceneLayersDataType);
        QCOMPARE(model.removeDraggedOut(rows), QList<int>{2});
        QVERIFY(model.removeDraggedOut(rows).isEmpty());
        QCOMPARE(files(model), QString("bcea"));
        // A drop no drag of this list began with, or a drag the list changed under, moves nothing.
        std::unique_ptr<QMimeData> forged(RowDragMime::mimeData(SceneLayersDataType, {0}));
        QVERIFY(!model.canDropMimeData(forged.get(), Qt::MoveAction, 3, 0, {}));
        QVERIFY(model.removeDraggedOut(forged->data(SceneLayersDataType)).isEmpty());
        std::unique_ptr<QMimeData> stale = dragOf(model, {3});
        model.removeRowsAt({0});
        QVERIFY(!model.dropMimeData(stale.get(), Qt::MoveAction, 0, 0, {}));
        QCOMPARE(files(model), QString("cea"));

        // The buttons move a block of layers by one place.
        QCOMPARE(model.moveDown({0, 1}), (QList<int>{1, 2}));
        QVERIFY(model.moveDown({2}).isEmpty());
        QCOMPARE(files(model), QString("ace"));
    }

    void menuEntriesAndExtraIconsShowWhatTheyDo()
    {
        FlashMenuModel menu;
        FlashMenuItem share, page;
        share.setContent("never shown");
        page.setType(FlashMenuItem::GoToPage);
        page.setContent("3");
        menu.setItems({share, page});
        QCOMPARE(menu.index(0, FlashMenuModel::ContentColumn).data().toString(), QString());
        QCOMPARE(menu.index(1, FlashMenuModel::ContentColumn).data().toString(), QString("3"));
        drag(menu, {1}, 0);
        QCOMPARE(menu.removeDraggedOut(dragOf(menu, {1})->data(FlashMenuDataType)), QList<int>{1});
        QCOMPARE(menu.items(), QList<FlashMenuItem>{page});

        // Icons land before the row they are dropped on.
        const auto dropped = [](const QList<int> &rows, int drop) {
            OtherIconsModel icons;
            for (const char *caption : {"0", "1", "2"}) {
                OtherIconItem icon;
                icon.setCaption(caption);
                icons.append(icon);
            }
            drag(icons, rows, drop);
            return order(icons, [](const OtherIconItem &icon) { return icon.caption(); });
        };
        QCOMPARE(dropped({0}, 2), QString("102"));
        QCOMPARE(dropped({2}, 0), QString("201"));
        QCOMPARE(dropped({0}, -1), QString("120")); // below the rows
        QCOMPARE(dropped({0, 2}, 1), QString("021"));
    }

    void bookmarkTabsAreTheBooksTabs()
    {
        auto tabs = std::make_shared<BookMarkTabs>();
        for (int page = 1; page <= 5; ++page)
            tabs->TabItems() << BookMarkTabItem::tabItemWithCaption(QString::number(page), Qt::gray, page);
        BookmarkTabsModel model;
        QVERIFY(!dragOf(model, {0})); // no book, no tabs
        model.setBookmarkTabs(tabs);
        const auto captions = [&] { return order(model, [](const BookMarkTabItem &tab) { return tab.caption(); }); };
        drag(model, {0, 1}, 5); // the first two of five to the end
        QCOMPARE(captions(), QString("34512"));
        QCOMPARE(model.removeDraggedOut(dragOf(model, {3, 4})->data(BookmarkTabsDataType)), (QList<int>{3, 4}));
        QCOMPARE(tabs->TabItems().size(), 3);

        // Edited in place: a page that is no number is refused.
        QVERIFY(!model.setData(model.index(0, BookmarkTabsModel::PageIndexColumn), "two"));
        QVERIFY(model.setData(model.index(0, BookmarkTabsModel::PageIndexColumn), " 12 "));
        QCOMPARE(tabs->TabItems().at(0).pageIndex(), qint64(12));

        // A drag of one book's tabs is nothing to the next book's.
        const QByteArray rows = dragOf(model, {0})->data(BookmarkTabsDataType);
        model.setBookmarkTabs(std::make_shared<BookMarkTabs>(*tabs));
        QVERIFY(model.removeDraggedOut(rows).isEmpty());
    }
};

QV_TEST(ListEditorsTest)
#include "tst_listeditors.moc"
