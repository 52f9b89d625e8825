#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/BookMarkTabs.h"

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
        QCOMPARE(read.TabItems().at(0).color(), QString("0xFF8800"));
        QCOMPARE(BookMarkTabItem().color(), QString("0x7F7F7F"));
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

        // A tab file nested 200,000 deep is refused at once, saying why; nothing changes.
        QFile deep(dir.filePath("deep.xml"));
        QVERIFY(deep.open(QIODevice::WriteOnly));
        deep.write("<Tabs>" + QByteArray("<t>").repeated(200000) + QByteArray("</t>").repeated(200000) + "</Tabs>");
        deep.close();
        QString error;
        QVERIFY(!read.loadFromFile(deep.fileName(), &error));
        QVERIFY2(error.contains("nested deeper"), qPrintable(error));
        QCOMPARE(read, tabs);
    }

    // The viewer runs the script: what it gives there is what the model holds.
    void viewerScript()
    {
        BookMarkTabs tabs;
        QCOMPARE(viewerValue(tabs.bookmarkTabsJS()),
                 QJsonValue(QJsonObject{{"tabs", QJsonArray()}, {"onSideEdge", false}, {"showPage", false},
                                        {"hasTexture", false}}));

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
