#include "TestFiles.h"
#include "TestSupport.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using TestFiles::filesMime;

namespace {

bool sendDrop(QWidget *target, QMimeData *mime)
{
    const QPoint pos(5, 5);
    QDragEnterEvent enter(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(pos), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}
} // namespace

class DragFileImportTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *name : {"a.PDF", "b.pdf", "c.Jpg", "notes.txt", "README"})
            QVERIFY(TestFiles::writeFile(m_dir.filePath(QString::fromLatin1(name))));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.pdf")));
    }

    void filtersByExtensionInAnyCaseStarAndFolders()
    {
        DragFileImport target;
        target.setFilters({QStringLiteral("pdf"), QStringLiteral("JPG")});
        const auto path = [this](const char *n) { return m_dir.filePath(QString::fromLatin1(n)); };
        QVERIFY(target.acceptsPath(path("a.PDF")));
        QVERIFY(target.acceptsPath(path("b.pdf")));
        QVERIFY(target.acceptsPath(path("c.Jpg")));
        QVERIFY(!target.acceptsPath(path("notes.txt")));
        QVERIFY(!target.acceptsPath(path("README")));
        QVERIFY(!target.acceptsPath(path("folder.pdf"))); // a folder is no file, whatever its name
        QVERIFY(!target.acceptsPath(path("missing.pdf")));
        target.setAllowDirectory(true);
        QVERIFY(target.acceptsPath(path("folder.pdf")));

        DragFileImport any;
        any.setFilters({QStringLiteral("*")});
        QVERIFY(any.acceptsPath(path("notes.txt")));
        QVERIFY(any.acceptsPath(path("README")));
        QVERIFY(!any.acceptsPath(path("folder.pdf")));
    }

    void dropReportsPassingPathsInOrder()
    {
        DragFileImport target;
        target.setFilters({QStringLiteral("pdf")});
        target.setIdentifier(QStringLiteral("doc"));
        QObject observer;
        QList<const QObject *> senders;
        NotificationCenter::defaultCenter()->addObserver(&observer, DragReportNotification, nullptr,
                                                         [&](const Notification &n) { senders << n.object; });
        std::unique_ptr<QMimeData> mixed(filesMime({m_dir.filePath("notes.txt"), m_dir.filePath("b.pdf"),
                                                    m_dir.filePath("a.PDF")}));
        QVERIFY(sendDrop(&target, mixed.get()));
        QCOMPARE(target.dragResult(), (QStringList{m_dir.filePath("b.pdf"), m_dir.filePath("a.PDF")}));
        QCOMPARE(senders, QList<const QObject *>{&target});

        // Nothing passes: the drop is refused, nothing is reported, the last result stays.
        std::unique_ptr<QMimeData> none(filesMime({m_dir.filePath("notes.txt")}));
        QVERIFY(!sendDrop(&target, none.get()));
        QCOMPARE(senders.size(), 1);
        QCOMPARE(target.dragResult().size(), 2);
    }

    void coverTakesDropsButLetsClicksThrough()
    {
        QWidget host;
        host.resize(300, 200);
        auto *button = new QPushButton(QStringLiteral("Add"), &host);
        button->setGeometry(10, 10, 80, 30);
        DragFileImport *cover = DragFileImport::coverWidget(&host, {QStringLiteral("jpg")});
        host.show();
        QCOMPARE(cover->geometry(), host.rect());
        // Clicks find the button under the cover.
        QCOMPARE(host.childAt(button->geometry().center()), button);

        std::unique_ptr<QMimeData> mime(filesMime({m_dir.filePath("c.Jpg")}));
        QVERIFY(sendDrop(&host, mime.get()));
        QCOMPARE(cover->dragResult(), QStringList{m_dir.filePath("c.Jpg")});

        host.resize(500, 400);
        QCoreApplication::processEvents();
        QCOMPARE(cover->geometry(), host.rect());
    }

private:
    QTemporaryDir m_dir;
};

QV_TEST(DragFileImportTest)
#include "tst_dragfileimport.moc"
