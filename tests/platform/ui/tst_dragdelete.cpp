#include "TestSupport.h"
#include "UiTestHelpers.h"
#include "platform/ui/DragDeleteDelegate.h"
#include "platform/ui/DragDeleteDetectView.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/WindowController.h"

#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QVBoxLayout>
#include <QtTest>

namespace {
// Any drop target of the program.
class TakesEverything : public QWidget
{
public:
    using QWidget::QWidget;
    TakesEverything() { setAcceptDrops(true); }

protected:
    void dragEnterEvent(QDragEnterEvent *e) override { e->acceptProposedAction(); }
    void dropEvent(QDropEvent *e) override { e->acceptProposedAction(); }
};

const QString RowType = QStringLiteral("application/x-quorvel-test-rows");

// A list window whose controller deletes rows dragged out of the list.
class ListController : public WindowController, public DragDeleteReceiver
{
public:
    QListWidget *list = nullptr;
    QList<Notification> ends;

    void DeleteWindowDragEnd(const Notification &n) override { ends << n; }

protected:
    QvWindow *createWindow() override
    {
        auto *w = new QvWindow;
        auto *layout = new QVBoxLayout(w);
        list = new QListWidget(w);
        list->addItems({"one", "two", "three"});
        layout->addWidget(list);
        layout->addSpacing(150);
        w->resize(300, 300);
        return w;
    }
};
} // namespace

class DragDeleteTest : public QObject
{
    Q_OBJECT
private slots:
    void rowNumbersRoundTrip()
    {
        QCOMPARE(RowDragMime::decode(RowDragMime::encode({0, 3, 17})), (QList<int>{0, 3, 17}));
        QCOMPARE(RowDragMime::decode(RowDragMime::encode({})), QList<int>{});
        QCOMPARE(RowDragMime::decode("1,x,3"), QList<int>{});
        QCOMPARE(RowDragMime::decode("-1"), QList<int>{});
    }

    void dropOutsideTheListWithoutTargetIsReported()
    {
        UiTestDriver driver;
        ListController c;
        c.showWindow();
        DragDeleteDetectView *detect = DragDeleteDetectView::addDragDetectViewtoWindow(c.window(), {RowType}, c.list);
        QCOMPARE(DragDeleteDetectView::addDragDetectViewtoWindow(c.window(), {RowType}, c.list), detect);
        DragDeleteDelegate deleter({RowType}, c.list);

        QObject observer;
        QList<const QObject *> reported;
        NotificationCenter::defaultCenter()->addObserver(&observer, DragDeleteWindowNotification, nullptr,
                                                         [&](const Notification &n) { reported << n.object; });
        std::unique_ptr<QMimeData> rows(RowDragMime::mimeData(RowType, {1, 2}));
        const QPoint inside = c.list->mapToGlobal(c.list->rect().center());
        const QPoint outside = c.list->mapToGlobal(QPoint(c.list->width() / 2, c.list->height() + 60));

        QVERIFY(!detect->dragFinished(c.list, *rows, inside, false));  // dropped back on the list
        QVERIFY(!detect->dragFinished(c.list, *rows, outside, true));  // something took it
        QVERIFY(reported.isEmpty());

        QVERIFY(detect->dragFinished(c.list, *rows, outside, false));
        QCOMPARE(reported, QList<const QObject *>{&deleter});
        QCOMPARE(deleter.dropPoint(), outside);
        QCOMPARE(RowDragMime::decode(deleter.dragResult().value(RowType)), (QList<int>{1, 2}));
        // The list window's controller hears of it.
        QCOMPARE(c.ends.size(), 1);

        // A dismissed delete window, or a drag of another type, deletes nothing.
        deleter.dismiss();
        QVERIFY(!detect->dragFinished(c.list, *rows, outside, false));
        deleter.show();
        std::unique_ptr<QMimeData> other(RowDragMime::mimeData(QStringLiteral("application/x-other"), {0}));
        QVERIFY(!detect->dragFinished(c.list, *other, outside, false));
        QCOMPARE(reported.size(), 1);
    }

    void dragOfTheListIsWatchedToItsEnd()
    {
        UiTestDriver driver;
        ListController c;
        c.showWindow();
        DragDeleteDetectView::addDragDetectViewtoWindow(c.window(), {RowType}, c.list);
        DragDeleteDelegate deleter({RowType}, c.list);
        const QPoint outside = c.list->mapToGlobal(QPoint(10, c.list->height() + 60));

        // The list makes its drag as a child, as item views do, and the drag ends outside.
        auto *drag = new QDrag(c.list);
        drag->setMimeData(RowDragMime::mimeData(RowType, {0}));
        QCoreApplication::processEvents();
        QCursor::setPos(outside);
        delete drag;
        QCOMPARE(c.ends.size(), 1);
        QCOMPARE(RowDragMime::decode(deleter.dragResult().value(RowType)), QList<int>{0});

        // A drag that some widget of the program took deletes nothing.
        TakesEverything other;
        other.show();
        drag = new QDrag(c.list);
        drag->setMimeData(RowDragMime::mimeData(RowType, {2}));
        QCoreApplication::processEvents();
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&other, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&other, &drop);
        delete drag;
        QCOMPARE(c.ends.size(), 1);
    }

    void disappearingAnimationEnds()
    {
        bool finished = false;
        DragDeleteDelegate::showDisappearingItemAnimation(QPoint(100, 100), [&] { finished = true; });
        QTRY_VERIFY(finished);
    }
};

QV_TEST(DragDeleteTest)
#include "tst_dragdelete.moc"
