#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/ShareLinksCollection.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "furnishings/ShareLinksModel.h"
#include "furnishings/ui/ShareLinks.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QtTest>

using namespace TestFiles;

namespace {

template <class T = QWidget>
T *control(ShareLinks &dialog, const char *name)
{
    T *found = dialog.window()->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void click(ShareLinks &dialog, const char *name)
{
    control<QAbstractButton>(dialog, name)->click();
}

QStringList titles(const QList<ShareLinksItem> &items)
{
    QStringList out;
    for (const ShareLinksItem &item : items)
        out << item.title();
    return out;
}

const QString kBook = QStringLiteral(
    "<shareLinks><shareLink title=\"Blog\" link=\"https://blog.example/share?u=${url}\"/></shareLinks>");

} // namespace

// The share links editor, driven as a person uses it.
class ShareLinksWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QFile::remove(ShareLinksCollection::collectionFile()); }

    void typingAButtonWithAMacroAndChoosingIt()
    {
        QGuiApplication::clipboard()->setText("the user's own clipboard");
        ShareLinks dialog;
        dialog.setSettingXmlString(kBook);
        dialog.showWindow();
        const int defaults = int(ShareLinksCollection::defaultCollection().size());
        QCOMPARE(dialog.model()->rowCount(), defaults + 1); // the book's own button, checked

        // A new button typed into the free fields; the macro goes in at the cursor.
        auto *link = control<QLineEdit>(dialog, "txtUrlAddr");
        control<QLineEdit>(dialog, "txtCaption")->setText("Forum");
        link->setText("https://forum.example/new?t=");
        link->setCursorPosition(int(link->text().size()));
        dialog.macroMenu()->actions().at(0)->trigger(); // ${title}
        link->insert("&u=");
        dialog.macroMenu()->actions().at(1)->trigger(); // ${url}
        QCOMPARE(link->text(), QString("https://forum.example/new?t=${title}&u=${url}"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("the user's own clipboard"));
        click(dialog, "btnAdd");
        const int added = defaults + 1;
        QCOMPARE(dialog.selectedRow(), added);
        QVERIFY(!link->isEnabled()); // a shown row is edited only after Edit
        click(dialog, "btnEdit");
        QTest::keyClicks(control<QLineEdit>(dialog, "txtCaption"), "s");
        QCOMPARE(dialog.model()->itemAt(added)->title(), QString("Forums"));
        dialog.model()->setData(dialog.model()->index(added, ShareLinksModel::StatusColumn), Qt::Checked,
                                Qt::CheckStateRole);
        click(dialog, "btnOK");

        QCOMPARE(dialog.closeMode(), 1);
        const QList<ShareLinksItem> chosen = ShareLinksItem::parseByXmlString(dialog.settingXmlString());
        QCOMPARE(titles(chosen), (QStringList{"Blog", "Forums"}));
        QCOMPARE(chosen.last().links(), QString("https://forum.example/new?t=${title}&u=${url}"));
        // The whole collection was kept, the new button with it.
        QCOMPARE(ShareLinksCollection::userCollection().size(), defaults + 2);
    }

    void listChangesNeverLeaveAStaleSelection()
    {
        UiTestDriver driver;
        ShareLinks dialog;
        dialog.setSettingXmlString(kBook);
        dialog.showWindow();
        auto *table = control<QTableView>(dialog, "tableView");
        const int count = dialog.model()->rowCount();

        table->selectRow(count - 1);
        QCOMPARE(dialog.selectedRow(), count - 1);
        QVERIFY(!control<QAbstractButton>(dialog, "btnMoveDown")->isEnabled());
        click(dialog, "btnMoveUp");
        QCOMPARE(dialog.selectedRow(), count - 2);
        QCOMPARE(dialog.model()->itemAt(count - 2)->title(), QString("Blog"));

        driver.answerAlert("OK");
        click(dialog, "btnRemove");
        QCOMPARE(dialog.model()->rowCount(), count - 1);
        QCOMPARE(dialog.selectedRow(), -1);
        QVERIFY(!control<QAbstractButton>(dialog, "btnRemove")->isEnabled());

        table->selectRow(0);
        driver.answerAlert("OK");
        click(dialog, "btnClearAll");
        QCOMPARE(dialog.model()->rowCount(), 0);
        QCOMPARE(dialog.selectedRow(), -1);
        // With nothing selected, typing changes no button and the fields are free.
        QVERIFY(control<QLineEdit>(dialog, "txtCaption")->isEnabled());
        QTest::keyClicks(control<QLineEdit>(dialog, "txtCaption"), "x");
        QVERIFY(!control<QAbstractButton>(dialog, "btnEdit")->isEnabled());

        table->selectRow(0);
        click(dialog, "btnDefault");
        QCOMPARE(dialog.model()->rowCount(), int(ShareLinksCollection::defaultCollection().size()));
        QCOMPARE(dialog.selectedRow(), -1);

        // Cancel keeps the collection as edited but not the book's choice.
        click(dialog, "btnCancel");
        QCOMPARE(dialog.closeMode(), 0);
        QCOMPARE(dialog.settingXmlString(), kBook);
        QCOMPARE(titles(ShareLinksCollection::userCollection()), titles(ShareLinksCollection::defaultCollection()));
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(ShareLinksWindowTest)
#include "tst_sharelinkswindow.moc"
