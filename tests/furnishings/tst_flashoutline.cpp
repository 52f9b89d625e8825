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

} // namespace

class FlashOutlineTest : public QObject
{
    Q_OBJECT
private slots:
    void roundTripsThroughXml()
    {
        const FlashOutline outline = sampleOutline();
        FlashOutline back;
        QVERIFY(back.fromXmlString(outline.toXmlString()));
        QCOMPARE(back.totalCount(), 5);
        QCOMPARE(back.items().size(), 2);
        const auto chapter = back.items()[0];
        QCOMPARE(chapter->caption(), QString("Chapter <1> & \"more\""));
        QCOMPARE(chapter->level(), 1);
        QVERIFY(!chapter->parent());
        const auto sectionA = chapter->childItems()[0];
        QCOMPARE(sectionA->parent(), chapter);
        QCOMPARE(sectionA->level(), 2);
        QCOMPARE(sectionA->childItems()[0]->caption(), QString("Detail"));
        QCOMPARE(sectionA->childItems()[0]->pageIndex(), 3);
        QCOMPARE(sectionA->childItems()[0]->level(), 3);
        QCOMPARE(sectionA->childItems()[0]->parent(), sectionA);
        QCOMPARE(chapter->childItems()[1]->pageUrl(), QString("https://example.com/a?b=1&c=2"));
        QCOMPARE(back.items()[1]->pageIndex(), 9);
    }

    void copyIsDeepAndKeepsEveryField()
    {
        const FlashOutline outline = sampleOutline();
        const auto chapter = outline.items()[0];
        auto target = FlashOutlineItem::create();
        FlashOutlineItem::copyItem(*chapter, target, 2);
        QCOMPARE(target->caption(), chapter->caption());
        QCOMPARE(target->pageIndex(), 1);
        QCOMPARE(target->level(), 2);
        QCOMPARE(target->childItems().size(), 2);
        QCOMPARE(target->childItems()[1]->pageUrl(), QString("https://example.com/a?b=1&c=2"));
        QCOMPARE(target->childItems()[0]->level(), 3);
        QCOMPARE(target->childItems()[0]->childItems()[0]->level(), 4);
        QCOMPARE(target->childItems()[0]->parent(), target);
        QVERIFY(target->childItems()[0] != chapter->childItems()[0]);
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
        QCOMPARE(sectionA->level(), 1);
        QCOMPARE(sectionA->childItems()[0]->level(), 2);
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
