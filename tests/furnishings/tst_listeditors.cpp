#include "TestSupport.h"
#include "furnishings/BookmarkTabsModel.h"
#include "furnishings/FlashMenuModel.h"
#include "furnishings/OtherIconsModel.h"
#include "furnishings/SceneLayersModel.h"
#include "platform/RowDragMime.h"

#include <QMimeData>
#include <QtTest>

namespace {

// A drag of rows in the list's view, dropped before dropRow, as the view does it.
template <class Model>
void drag(Model &model, const QList<int> &rows, int dropRow)
{
    QModelIndexList indexes;
    for (int row : rows)
        for (int column = 0; column < model.columnCount(); ++column)
            indexes << model.index(row, column);
    std::unique_ptr<QMimeData> data(model.mimeData(indexes));
    QVERIFY(data);
    model.dropMimeData(data.get(), Qt::MoveAction, dropRow, 0, {});
}

// A drag of rows that ended outside the window: the rows the list removed.
template <class Model>
QList<int> dragOut(Model &model, const QList<int> &rows)
{
    QModelIndexList indexes;
    for (int row : rows)
        indexes << model.index(row, 0);
    std::unique_ptr<QMimeData> data(model.mimeData(indexes));
    return data ? model.removeDraggedOut(data->data(model.registDragType())) : QList<int>();
}

QString layerFiles(const SceneLayersModel &model)
{
    QString text;
    for (const SceneObject &layer : model.items())
        text += layer.file();
    return text;
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
        // Two layers dragged below the last: they keep their order at the end.
        drag(model, {1, 0}, 5);
        QCOMPARE(layerFiles(model), QString("cdeab"));
        // Dropped on the row they leave from: nothing moves.
        drag(model, {2}, 2);
        QCOMPARE(layerFiles(model), QString("cdeab"));
        drag(model, {4}, 0);
        QCOMPARE(layerFiles(model), QString("bcdea"));

        // Dragged out: exactly the dragged layer goes, once.
        std::unique_ptr<QMimeData> data(model.mimeData({model.index(2, 0)}));
        const QByteArray rows = data->data(SceneLayersDataType);
        QCOMPARE(model.removeDraggedOut(rows), QList<int>{2});
        QCOMPARE(layerFiles(model), QString("bcea"));
        QVERIFY(model.removeDraggedOut(rows).isEmpty());
        // A drop no drag of this list began with, or one naming rows it has not, is refused.
        std::unique_ptr<QMimeData> forged(RowDragMime::mimeData(SceneLayersDataType, {0}));
        QVERIFY(!model.canDropMimeData(forged.get(), Qt::MoveAction, 3, 0, {}));
        QVERIFY(model.removeDraggedOut(forged->data(SceneLayersDataType)).isEmpty());
        std::unique_ptr<QMimeData> stale(model.mimeData({model.index(3, 0)}));
        model.removeRowsAt({0});
        QVERIFY(!model.dropMimeData(stale.get(), Qt::MoveAction, 0, 0, {}));
        QCOMPARE(layerFiles(model), QString("cea"));

        // The buttons move a block of selected layers by one place.
        QCOMPARE(model.moveDown({0, 1}), (QList<int>{1, 2}));
        QCOMPARE(layerFiles(model), QString("ace"));
        QVERIFY(model.moveDown({2}).isEmpty());
        QCOMPARE(model.moveUp({2}), QList<int>{1});
        QCOMPARE(layerFiles(model), QString("aec"));
    }

    void viewerMenuEntriesShowTheirActionAndMove()
    {
        FlashMenuModel model;
        FlashMenuItem share, page, url;
        share.setCaption("Share");
        page.setCaption("Contents");
        page.setType(FlashMenuItem::GoToPage);
        page.setContent("3");
        url.setCaption("Shop");
        url.setType(FlashMenuItem::Url);
        url.setContent("https://example.com");
        share.setContent("never shown");
        model.setItems({share, page, url});
        QCOMPARE(model.index(0, FlashMenuModel::ContentColumn).data().toString(), QString());
        QCOMPARE(model.index(1, FlashMenuModel::ContentColumn).data().toString(), QString("3"));

        drag(model, {2}, 0);
        QCOMPARE(model.items().at(0), url);
        QCOMPARE(dragOut(model, {1}), QList<int>{1});
        QCOMPARE(model.items(), (QList<FlashMenuItem>{url, page}));
        QVERIFY(model.changeItem(1, [](FlashMenuItem &item) { item.setType(FlashMenuItem::Share); }));
        QCOMPARE(model.index(1, FlashMenuModel::ActionColumn).data().toString(), FlashMenuModel::displayName(0));
        QCOMPARE(model.index(1, FlashMenuModel::ContentColumn).data().toString(), QString());
    }

    void extraIconsLandWhereTheyAreDropped()
    {
        const auto order = [](const QList<int> &rows, int drop) {
            OtherIconsModel model;
            for (int i = 0; i < 3; ++i) {
                OtherIconItem icon;
                icon.setCaption(QString::number(i));
                model.append(icon);
            }
            drag(model, rows, drop);
            QString text;
            for (const OtherIconItem &icon : model.items())
                text += icon.caption();
            return text;
        };
        QCOMPARE(order({0}, 2), QString("102"));
        QCOMPARE(order({2}, 0), QString("201"));
        QCOMPARE(order({0}, 3), QString("120"));
        QCOMPARE(order({0}, -1), QString("120")); // dropped below the rows
        QCOMPARE(order({0, 2}, 1), QString("021"));

        OtherIconsModel model;
        OtherIconItem icon;
        icon.setFile("/pictures/cart.png");
        icon.setType(7);
        model.append(icon);
        QCOMPARE(model.index(0, 0).data(OtherIconsModel::PathRole).toString(), QString("/pictures/cart.png"));
        QCOMPARE(model.index(0, OtherIconsModel::TypeColumn).data().toString(), OtherIconsModel::typeName(0));
    }

    void bookmarkTabsAreTheBooksTabs()
    {
        auto tabs = std::make_shared<BookMarkTabs>();
        for (int page = 1; page <= 5; ++page)
            tabs->TabItems() << BookMarkTabItem::tabItemWithCaption(QString::number(page), Qt::gray, page);
        const auto order = [&] {
            QString text;
            for (const BookMarkTabItem &item : tabs->TabItems())
                text += item.caption();
            return text;
        };
        BookmarkTabsModel model;
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.mimeData({model.index(0, 0)}));
        model.setBookmarkTabs(tabs);
        // The first two of five dragged to the end.
        drag(model, {0, 1}, 5);
        QCOMPARE(order(), QString("34512"));
        QCOMPARE(dragOut(model, {3, 4}), (QList<int>{3, 4}));
        QCOMPARE(order(), QString("345"));

        // Edited in place: a page that is no number is refused.
        QVERIFY(!model.setData(model.index(0, BookmarkTabsModel::PageIndexColumn), "two"));
        QVERIFY(model.setData(model.index(0, BookmarkTabsModel::PageIndexColumn), " 12 "));
        QVERIFY(model.setData(model.index(0, BookmarkTabsModel::CaptionColumn), "Index"));
        QCOMPARE(tabs->TabItems().at(0).pageIndex(), qint64(12));
        QCOMPARE(tabs->TabItems().at(0).caption(), QString("Index"));

        // A drag of one book's tabs is nothing to the next book's.
        std::unique_ptr<QMimeData> data(model.mimeData({model.index(0, 0)}));
        model.setBookmarkTabs(std::make_shared<BookMarkTabs>(*tabs));
        QVERIFY(model.removeDraggedOut(data->data(BookmarkTabsDataType)).isEmpty());
        QCOMPARE(model.rowCount(), 3);
    }
};

QV_TEST(ListEditorsTest)
#include "tst_listeditors.moc"
