#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/InputLimits.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/BookmarkTabEditing.h"

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QJSEngine>
#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

class BookMarkTabsTest : public QObject
{
    Q_OBJECT
private slots:
    void xmlKeepsEveryTabAndSetting()
    {
        BookMarkTabs tabs;
        tabs.setAlpha(0.7);
        tabs.setTopOrSide("Side");
        tabs.setBookmarkTips(true);
        tabs.TabItems() << BookMarkTabItem::tabItemWithCaption("Say \"hi\"\nthen ]]> go", QColor(255, 136, 0), 3);
        BookMarkTabItem blank;
        blank.setPageIndex(0);
        tabs.TabItems() << blank;
        const QString xml = tabs.tabsXMLString();
        QVERIFY(xml.startsWith("<Tabs alpha=\"0.70\" BookMarkTips=\"true\" BookMarkShowhading=\"false\" TopOrSide=\"Side\">"));

        QDomDocument doc;
        QVERIFY(doc.setContent(xml));
        BookMarkTabs read;
        read.loadFromTabsXML(doc.documentElement());
        QCOMPARE(read, tabs); // caption with quote, line break and "]]>" comes back exactly
    }

    void loadingReplacesTabsAndKeepsMissingSettings()
    {
        BookMarkTabs tabs;
        tabs.setAlpha(0.4);
        tabs.setBookmarkShowHading(true);
        tabs.TabItems() << BookMarkTabItem();
        QDomDocument doc;
        QVERIFY(doc.setContent(QStringLiteral("<Tabs TopOrSide=\"Top\"/>")));
        tabs.loadFromTabsXML(doc.documentElement());
        QVERIFY(tabs.TabItems().isEmpty());
        QCOMPARE(tabs.alpha(), 0.4);
        QVERIFY(tabs.bookmarkShowHading());
        QCOMPARE(tabs.topOrSide(), QString("Top"));
        QVERIFY(!tabs.tabsXMLString().contains("<Tab "));

        // A missing or broken tab file leaves the model as it was.
        QTemporaryDir dir;
        QVERIFY(!tabs.loadFromFile(dir.filePath("missing.xml")));
        QVERIFY(TestFiles::writeFile(dir.filePath("broken.xml"), "<Tabs><Tab"));
        QVERIFY(!tabs.loadFromFile(dir.filePath("broken.xml")));
        QCOMPARE(tabs.alpha(), 0.4);

        tabs.TabItems() << BookMarkTabItem::tabItemWithCaption("Index", Qt::blue, 9);
        QVERIFY(tabs.saveToFile(dir.filePath("tabs.xml")));
        BookMarkTabs read;
        QVERIFY(read.loadFromFile(dir.filePath("tabs.xml")));
        QCOMPARE(read, tabs);

        // A tab file nested deeper than files may be is refused, saying why; nothing changes.
        const int levels = InputLimits::kMaxXmlNesting;
        QFile deep(dir.filePath("deep.xml"));
        QVERIFY(deep.open(QIODevice::WriteOnly));
        deep.write("<Tabs>" + QByteArray("<t>").repeated(levels) + QByteArray("</t>").repeated(levels) + "</Tabs>");
        deep.close();
        QString error;
        QVERIFY(!read.loadFromFile(deep.fileName(), &error));
        QVERIFY2(error.contains("nested deeper"), qPrintable(error));
        QCOMPARE(read, tabs);
    }

    void anotherXmlFileKeepsTheTabs()
    {
        BookMarkTabs tabs;
        tabs.setAlpha(0.5);
        tabs.TabItems() << BookMarkTabItem::tabItemWithCaption("Keep", Qt::red, 2);
        const BookMarkTabs before = tabs;
        QTemporaryDir dir;
        QVERIFY(TestFiles::writeFile(dir.filePath("menus.xml"), "<menus alpha=\"0.1\"><Tab pageIndex=\"9\"/></menus>"));
        QString error;
        QVERIFY(!tabs.loadFromFile(dir.filePath("menus.xml"), &error));
        QVERIFY(error.contains("menus"));
        QVERIFY(TestFiles::writeFile(dir.filePath("huge.xml"), QByteArray(BookMarkTabs::MaxFileSize + 1, ' ')));
        QVERIFY(!tabs.loadFromFile(dir.filePath("huge.xml"), &error));
        QCOMPARE(tabs, before);
        // A save that cannot be written says so.
        QVERIFY(!tabs.saveToFile(dir.filePath("no/such/folder/tabs.xml")));
    }

    void tabDialogSteps()
    {
        // Adding to a ten-page book: 1, 3, 5, ...; past the book once asked.
        BookMarkTabs tabs;
        tabs.setAlpha(0.5);
        BookmarkTabEditing adding(tabs, BookmarkTabEditing::AddTabs, 0, 10);
        QCOMPARE(adding.pageForNewTab(), 1);
        QVERIFY(adding.saveCurrentItem({"One", "1", QColor(0x11, 0x22, 0x33)}));
        QVERIFY(adding.isNewRow());
        QCOMPARE(adding.proposeNextPage(1).page, 3);
        QCOMPARE(adding.proposeNextPage(9).page, 10);
        QVERIFY(!adding.proposeNextPage(9).ask);
        QVERIFY(adding.proposeNextPage(10).ask);
        adding.acceptPagesBeyondBook();
        QCOMPARE(adding.proposeNextPage(10).page, 12);
        QVERIFY(!adding.proposeNextPage(10).ask);
        QCOMPARE(tabs.TabItems().at(0).color(), QString("0x112233"));
        QCOMPARE(adding.loadCurrentItem().caption, QString()); // a new row has nothing to load

        // Back to the first tab: the form shows it with the tabs' opacity.
        adding.stepBack();
        const BookmarkTabEditing::Fields first = adding.loadCurrentItem();
        QCOMPARE(first.caption, QString("One"));
        QVERIFY(qAbs(first.color.alphaF() - 0.5) < 0.01);
        // Page 1 + "2x" is not page 12 + "x": each field counts.
        tabs.TabItems()[0].setCaption("2x");
        BookmarkTabEditing modifying(tabs, BookmarkTabEditing::ModifyTabs, 7, 10);
        QCOMPARE(modifying.currentRow(), 0);
        QVERIFY(modifying.modifyCurrentItem({"x", "12", QColor(0x11, 0x22, 0x33)}));
        QVERIFY(!modifying.modifyCurrentItem({"x", "12", QColor(0x11, 0x22, 0x33, 10)}));
        QVERIFY(modifying.modifyCurrentItem({"x", "12", QColor()}));
        QCOMPARE(tabs.TabItems().at(0).color(), QString("0x000000"));
        // Saving the last tab in modify mode keeps it in the form.
        QVERIFY(!modifying.saveCurrentItem({"x", "12", Qt::black}));
        QCOMPARE(modifying.currentRow(), 0);
        QCOMPARE(tabs.TabItems().size(), 1);

        // Modifying an empty list adds what is typed.
        BookMarkTabs none;
        BookmarkTabEditing empty(none, BookmarkTabEditing::ModifyTabs, 0, 10);
        QCOMPARE(empty.type(), int(BookmarkTabEditing::AddTabs));
        QVERIFY(empty.saveCurrentItem({"Typed", "4", Qt::red}));
        QCOMPARE(none.TabItems().size(), 1);
        QCOMPARE(none.TabItems().at(0).pageIndex(), 4);
    }

    // The viewer runs the script: what it gives there is what the model holds.
    void viewerScript()
    {
        BookMarkTabs tabs;
        tabs.setTopOrSide("sIdE");
        tabs.setBookmarkTips(true);
        BookMarkTabItem blank;
        blank.setPageIndex(0);
        tabs.TabItems() << BookMarkTabItem::tabItemWithCaption("Intro", QColor(255, 136, 0), 3) << blank
                        << BookMarkTabItem::tabItemWithCaption("A \"B\"\nC", Qt::black, 5);
        const QJsonArray expected{QJsonObject{{"caption", "Intro"}, {"pageIndex", 3}, {"color", "#FF8800"}},
                                  QJsonObject{{"caption", "A \"B\"<br/>C"}, {"pageIndex", 5}, {"color", "#000000"}}};
        QCOMPARE(viewerValue(tabs.bookmarkTabsJS()),
                 QJsonValue(QJsonObject{{"tabs", expected}, {"onSideEdge", true}, {"showPage", true},
                                        {"hasTexture", false}}));

        // A colour or caption from a tab file someone sent stays text: nothing runs.
        BookMarkTabs hostile;
        const QString attack = "\"};window.hacked=1;//</script><script>window.hacked=2</script>";
        BookMarkTabItem item = BookMarkTabItem::tabItemWithCaption(attack, Qt::red, 1);
        item.setColor(attack);
        hostile.TabItems() << item;
        QJSEngine engine;
        const QJsonObject tab =
            viewerValue(hostile.bookmarkTabsJS(), &engine).toObject().value("tabs").toArray().at(0).toObject();
        QVERIFY(engine.globalObject().property("hacked").isUndefined());
        QCOMPARE(tab.value("caption").toString(), attack);
        QVERIFY(tab.value("color").toString().contains("window.hacked=1"));
    }

private:
    // bmtConfig as the script defines it when it is run.
    static QJsonValue viewerValue(const QString &script, QJSEngine *engine = nullptr)
    {
        QJSEngine own;
        QJSEngine &js = engine ? *engine : own;
        js.globalObject().setProperty("window", js.globalObject());
        const QJSValue result = js.evaluate(script);
        if (result.isError()) {
            qWarning() << "script error:" << result.toString();
            return {};
        }
        return QJsonValue::fromVariant(js.globalObject().property("bmtConfig").toVariant());
    }
};

QV_TEST(BookMarkTabsTest)
#include "tst_bookmarktabs.moc"
