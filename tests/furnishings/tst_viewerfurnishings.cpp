#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/OtherIconItem.h"
#include "furnishings/PageCaptionUtility.h"
#include "furnishings/ShareLinksCollection.h"
#include "furnishings/ShareLinksItem.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace PageCaptionUtility;

// Captions, extra icons and share links: the furnishings the output engine turns into
// the viewer's lists.
class ViewerFurnishingsTest : public QObject
{
    Q_OBJECT
private slots:
    void romanNumerals()
    {
        QCOMPARE(romaStringForNumber(3999), QString("MMMCMXCIX"));
        QCOMPARE(romaStringForNumber(14), QString("XIV"));
        QCOMPARE(romaStringForNumber(4000), QString("--"));
        QCOMPARE(romaStringForNumber(0), QString());
    }

    void expressionValidity()
    {
        for (const char *good : {"5:Cover", "1-30:{N+}", "1-30:{r+2}", "1-30:3001+"})
            QVERIFY2(isExpressionForPageCaption(good), good);
        // A range needs a counter and must rise; a page number is a number; one colon only.
        for (const char *bad : {"1-30:Page", "30-1:{N+}", "5-5:{N+}", "a:Cover", "5:a:b"})
            QVERIFY2(!isExpressionForPageCaption(bad), bad);
    }

    void schemesBecomeOneCaptionPerPage()
    {
        QCOMPARE(checkCaptionFormat("1-4:{r+};x;5-10:{N+}"), std::optional<QString>("1-4:{r+};5-10:{N+}"));
        QCOMPARE(checkCaptionFormat("x;y"), std::nullopt);

        QCOMPARE(captionsForPages("1:Cover;2-4:{r+-1};5-7:Page {N+-4}", 8),
                 (QStringList{"Cover", "i", "ii", "iii", "Page 1", "Page 2", "Page 3", ""}));
        QCOMPARE(captionsForPages("1-3:3001+", 3), (QStringList{"3001", "3002", "3003"}));
        QCOMPARE(captionsForPages("2-3:{R+}", 3), (QStringList{"", "II", "III"}));
        // Line breaks are ignored, pages past the book dropped, later expressions win.
        QCOMPARE(captionsForPages("1-9:{N+}\n;2:Two", 3), (QStringList{"1", "Two", "3"}));
        QVERIFY(captionsForPages("nonsense", 3).isEmpty());
        QVERIFY(captionsForPages("", 3).isEmpty());
    }

    void iconListFiles()
    {
        QTemporaryDir dir;
        QVERIFY(!OtherIconItem::iconListFromFile(dir.filePath("missing")));
        QVERIFY(TestFiles::writeFile(dir.filePath("other.xml"), "<shareLinks/>"));
        QVERIFY(!OtherIconItem::iconListFromFile(dir.filePath("other.xml")));

        OtherIconItem page, link, script, odd;
        page.setCaption("Index");
        page.setContent("12");
        link.setType(OtherIconItem::OpenLink);
        link.setCaption("Shop & \"more\"");
        link.setContent("https://example.com/?a=1&b=2");
        link.setTarget("Blank");
        script.setType(OtherIconItem::CallScript);
        script.setContent("if (a < b && c) go(']]>');");
        odd.setType(7);
        const QList<OtherIconItem> icons{page, link, script, odd};

        // A path that names no file: the list goes to a new temporary file instead.
        const QString written = OtherIconItem::saveIconList(icons, dir.filePath("none.xml"));
        QVERIFY(QFileInfo(written).isFile());
        QCOMPARE(QFileInfo(written).fileName(), QString("iconsList"));
        QCOMPARE(OtherIconItem::iconListFromFile(written), std::optional(icons));

        const QString annos = OtherIconItem::otherAnnosXMLForIcons(icons);
        QCOMPARE(annos.count("Anno "), 3); // the icon of an unknown type is left out
        QVERIFY(OtherIconItem::otherAnnosXMLForIcons({}).isEmpty());
    }

    void shareLinks()
    {
        const QList<ShareLinksItem> links = ShareLinksItem::parseByXmlString(
            "<shareLinks><shareLink title=\"Mail\" link=\"mailto:?body=${url}&amp;s=${title}\" logo=\"STYLE_RESOURCE:m.png\"/>"
            "<shareLink title=\"X\" link=\"https://x.com/?u=${url}\"/></shareLinks>");
        QCOMPARE(links.size(), 2);
        QCOMPARE(links.at(0).links(), QString("mailto:?body=${url}&s=${title}"));
        QCOMPARE(links.at(0).logo(), QString("STYLE_RESOURCE:m.png"));
        QVERIFY(ShareLinksItem::parseByXmlString("<shareLinks><shareLink").isEmpty());
        QVERIFY(ShareLinksItem::parseByXmlString(QString()).isEmpty());

        // Written and read back as they were, markup characters included; none: "".
        QCOMPARE(ShareLinksItem::parseByXmlString(ShareLinksItem::generateShareLinksToXml(links)), links);
        QCOMPARE(ShareLinksItem::generateShareLinksToXml({}), QString());

        // The program's logo for a link's site; nothing leads out of the logo folder.
        QCOMPARE(QFileInfo(ShareLinksItem::iconFileForURL("https://www.facebook.com/sharer.php?u=1")).fileName(),
                 QString("facebook.ico"));
        QCOMPARE(QFileInfo(ShareLinksItem::iconFileForURL("mailto:?body=${url}")).fileName(), QString("mailto.ico"));
        QVERIFY(ShareLinksItem::iconFileForURL("https://unknown.example/x").isEmpty());
        QVERIFY(ShareLinksItem::iconFileForURL("https://../Shares/facebook").isEmpty());
    }

    void shareCollectionMeetsTheBooksButtons()
    {
        QFile::remove(ShareLinksCollection::collectionFile());
        const QList<ShareLinksItem> defaults = ShareLinksCollection::defaultCollection();
        QVERIFY(defaults.size() >= 3);

        // First use: the default collection. The book's button with a default's link
        // text checks it; another link on the same site is the book's own and stays.
        const QString first = defaults.at(0).links();
        const QString sameSite = first + "&extra=1";
        QList<ShareLinksItem> items = ShareLinksCollection::collectionForBook(
            "<shareLinks><shareLink title=\"Mine\" link=\"" + first.toHtmlEscaped() + "\"/>"
            "<shareLink title=\"Own\" link=\"" + sameSite.toHtmlEscaped() + "\"/></shareLinks>");
        QCOMPARE(items.size(), defaults.size() + 1);
        QVERIFY(items.at(0).isSelected());
        QCOMPARE(items.at(0).title(), defaults.at(0).title());
        QCOMPARE(items.last().title(), QString("Own"));
        QVERIFY(items.last().isSelected());
        QCOMPARE(std::count_if(items.cbegin(), items.cend(), [](const ShareLinksItem &i) { return i.isSelected(); }), 2);
        QCOMPARE(ShareLinksItem::parseByXmlString(ShareLinksCollection::checkedLinksXml(items)).size(), 2);

        // The saved collection replaces the default one; of two buttons with one
        // link, the book checks the later.
        ShareLinksItem twin = items.at(1);
        twin.setTitle("Twin");
        items << twin;
        QVERIFY(ShareLinksCollection::saveCollection(items));
        const QList<ShareLinksItem> again = ShareLinksCollection::collectionForBook(
            ShareLinksItem::generateShareLinksToXml({twin}));
        QCOMPARE(again.size(), items.size());
        QVERIFY(!again.at(1).isSelected());
        QVERIFY(again.last().isSelected());
        QCOMPARE(ShareLinksCollection::checkedLinksXml(ShareLinksCollection::userCollection()), QString());
        QFile::remove(ShareLinksCollection::collectionFile());
    }
};

QV_TEST(ViewerFurnishingsTest)
#include "tst_viewerfurnishings.moc"
