#include "TestSupport.h"
#include "furnishings/FlashOutline.h"

#include <QtTest>

namespace {

// Chapter (p1) > [Section A (p2) > [Detail (p3)], Section B (link)], Appendix (p9)
FlashOutline sampleOutline()
{
    FlashOutline outline;
    // The control character is one XML cannot hold; titles from PDFs sometimes have them.
    auto chapter = FlashOutlineItem::create(QString("Chapter <1> & \"more\"") + QChar(0x02), 1);
    auto sectionA = FlashOutlineItem::create("Section A", 2);
    auto sectionB = FlashOutlineItem::create("Section B", 0);
    sectionB->setPageUrl("https://example.com/a?b=1&c=2");
    chapter->appendChild(sectionA);
    chapter->appendChild(sectionB);
    sectionA->appendChild(FlashOutlineItem::create("Detail", 3));
    outline.appendItem(chapter);
    outline.appendItem(FlashOutlineItem::create("Appendix", 9));
    return outline;
}

// caption@page/level, a link's address, then the children in brackets.
QString tree(const QList<FlashOutlineItemPtr> &items)
{
    QStringList parts;
    for (const FlashOutlineItemPtr &item : items) {
        QString text = QStringLiteral("%1@%2/%3").arg(item->caption()).arg(item->pageIndex()).arg(item->level());
        if (!item->pageUrl().isEmpty())
            text += " " + item->pageUrl();
        if (!item->childItems().isEmpty())
            text += "[" + tree(item->childItems()) + "]";
        parts << text;
    }
    return parts.join(",");
}

} // namespace

class FlashOutlineTest : public QObject
{
    Q_OBJECT
private slots:
    void roundTripsThroughXml()
    {
        FlashOutline back;
        QVERIFY(back.fromXmlString(sampleOutline().toXmlString()));
        // The character XML cannot hold is dropped; the rest comes back as it was.
        QCOMPARE(tree(back.items()), QString("Chapter <1> & \"more\"@1/1[Section A@2/2[Detail@3/3],"
                                             "Section B@0/2 https://example.com/a?b=1&c=2],Appendix@9/1"));
        QCOMPARE(back.items()[0]->childItems()[0]->childItems()[0]->parent(), back.items()[0]->childItems()[0]);
    }

    void copyIsDeep()
    {
        const FlashOutline outline = sampleOutline();
        const auto chapter = outline.items()[0];
        auto target = FlashOutlineItem::create();
        FlashOutlineItem::copyItem(*chapter, target, 2);
        QCOMPARE(tree({target}), chapter->caption()
                                     + "@1/2[Section A@2/3[Detail@3/4],Section B@0/3 https://example.com/a?b=1&c=2]");
        QCOMPARE(target->childItems()[0]->parent(), target);
        target->childItems()[0]->setCaption("Changed");
        QCOMPARE(chapter->childItems()[0]->caption(), QString("Section A"));
    }

    void copyIntoItsOwnSubtreeEnds()
    {
        // Dropping a bookmark into one of its descendants copies it there; the copy
        // must not copy itself again and again.
        FlashOutline outline = sampleOutline();
        const auto chapter = outline.items()[0];
        const auto sectionA = chapter->childItems()[0];
        auto copy = FlashOutlineItem::create();
        copy->setParent(sectionA);
        sectionA->childItems().append(copy);
        FlashOutlineItem::copyItem(*chapter, copy, sectionA->level() + 1);
        QCOMPARE(copy->subtreeCount(), 4); // chapter's subtree as it was before the copy
        QCOMPARE(outline.totalCount(), 9);
    }

    void movesKeepTheBookmarkWhole()
    {
        FlashOutline outline = sampleOutline();
        const auto chapter = outline.items()[0];
        const auto appendix = outline.items()[1];
        const auto sectionA = chapter->childItems()[0];
        const auto sectionB = chapter->childItems()[1];
        const auto captions = [](const QList<FlashOutlineItemPtr> &items) {
            QStringList list;
            for (const auto &item : items)
                list << item->caption();
            return list;
        };

        // Within a level: positions count while the bookmark still stands where it was.
        outline.appendItem(FlashOutlineItem::create("Index", 10));
        QVERIFY(outline.moveItem(appendix, nullptr, 3));
        QCOMPARE(captions(outline.items()).mid(1), (QStringList{"Index", "Appendix"}));
        QVERIFY(outline.moveItem(appendix, nullptr, 0));
        QCOMPARE(outline.items().first(), appendix);

        // Another level: the same item, its link and subtree, levels renumbered.
        QVERIFY(outline.moveItem(sectionB, appendix, -1));
        QCOMPARE(appendix->childItems(), QList<FlashOutlineItemPtr>{sectionB});
        QCOMPARE(sectionB->pageUrl(), QString("https://example.com/a?b=1&c=2"));
        QCOMPARE(sectionB->parent(), appendix);
        QVERIFY(outline.moveItem(sectionA, nullptr, 0));
        QCOMPARE(tree({sectionA}), QString("Section A@2/1[Detail@3/2]"));
        QVERIFY(!sectionA->parent());
        QCOMPARE(outline.indexOf(sectionA.get()), 0);
        QCOMPARE(outline.indexOf(sectionB.get()), 0);

        // Into itself or its own subtree: refused, nothing lost or doubled.
        const int total = outline.totalCount();
        QVERIFY(!outline.moveItem(sectionA, sectionA, 0));
        QVERIFY(!outline.moveItem(sectionA, sectionA->childItems()[0], 0));
        QVERIFY(!outline.moveItem(FlashOutlineItem::create("Stranger"), nullptr, 0));
        QVERIFY(!outline.moveItem(chapter, FlashOutlineItem::create("Stranger"), 0));
        QCOMPARE(outline.totalCount(), total);
        QVERIFY(FlashOutlineItem::checkIsParentOf(sectionA.get(), sectionA->childItems()[0].get()));
        QVERIFY(!FlashOutlineItem::checkIsParentOf(sectionA.get(), sectionA.get()));

        QVERIFY(outline.removeItem(sectionA.get()));
        QVERIFY(!outline.removeItem(sectionA.get()));
        QCOMPARE(outline.totalCount(), total - 2);
    }

    void unreadableXmlKeepsTheOutline()
    {
        FlashOutline outline = sampleOutline();
        QString error;
        QVERIFY(!outline.fromXmlString("<Bookmarks/>", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!outline.fromXmlString("<Outline><Item"));
        QCOMPARE(outline.totalCount(), 5);

        // An outline file nested 16,000 levels deep is refused before it is parsed.
        const QString deep = "<Outline>" + QString("<Item caption=\"x\" page=\"1\">").repeated(16000)
                             + QString("</Item>").repeated(16000) + "</Outline>";
        QVERIFY(!outline.fromXmlString(deep, &error));
        QVERIFY2(error.contains("nested deeper"), qPrintable(error));
        QCOMPARE(outline.totalCount(), 5);
    }
};

QV_TEST(FlashOutlineTest)
#include "tst_flashoutline.moc"
