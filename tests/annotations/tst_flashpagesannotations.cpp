#include "TestSupport.h"
#include "annotations/FlashPagesAnnotations.h"

#include <QTemporaryDir>
#include <QtTest>

class FlashPagesAnnotationsTest : public QObject
{
    Q_OBJECT
private slots:
    void annotationsStayWithTheirPages()
    {
        FlashPagesAnnotations annotations(3);
        QVERIFY(annotations.setPageAnnotations(0, "<link page=\"2\"/>"));
        QVERIFY(annotations.setPageAnnotations(2, "<video src=\"a.mp4\"/>"));

        QVERIFY(annotations.insertBlankPage(1));
        QCOMPARE(annotations.count(), 4);
        QCOMPARE(annotations.pageAnnotations(0), QStringLiteral("<link page=\"2\"/>"));
        QCOMPARE(annotations.pageAnnotations(1), QString());
        QCOMPARE(annotations.pageAnnotations(3), QStringLiteral("<video src=\"a.mp4\"/>"));

        QVERIFY(annotations.removePage(0));
        QCOMPARE(annotations.pageAnnotations(2), QStringLiteral("<video src=\"a.mp4\"/>"));
        QVERIFY(annotations.insertBlankPage(annotations.count()));

        QVERIFY(!annotations.insertBlankPage(-1));
        QVERIFY(!annotations.insertBlankPage(annotations.count() + 1));
        QVERIFY(!annotations.removePage(annotations.count()));
        QVERIFY(!annotations.setPageAnnotations(0, "<open>"));
        QVERIFY(!annotations.setPageAnnotations(0, "</page><page>"));
        QCOMPARE(annotations.count(), 4);
    }

    void projectFormKeepsContentAsWritten()
    {
        const QString rich = QStringLiteral(
            "<link caption=\"A &amp; B &lt;i&gt;\" x=\"0.5\"><![CDATA[if (a < b) go();]]></link>\n"
            "  <note xml:lang=\"de\">Grüße ☃ 😀</note><!-- kept --><svg:rect/>");
        FlashPagesAnnotations annotations(3);
        QVERIFY(annotations.setPageAnnotations(1, rich));
        QVERIFY(annotations.setPageAnnotations(2, "  <a/>  "));

        QTemporaryDir dir;
        const QString path = dir.filePath("AnnotationsXMLStr.xml");
        QVERIFY(annotations.saveToFile(path));

        FlashPagesAnnotations loaded;
        QString error;
        QVERIFY2(loaded.loadFromFile(path, &error), qPrintable(error));
        QCOMPARE(loaded.count(), 3);
        QCOMPARE(loaded.pageAnnotations(0), QString());
        QCOMPARE(loaded.pageAnnotations(1), rich);
        QCOMPARE(loaded.pageAnnotations(2), QStringLiteral("  <a/>  "));
    }

    void damagedProjectFormChangesNothing_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::newRow("truncated") << "<pagesAnnotations><page><link/></page><page>";
        QTest::newRow("other root") << "<annotations><page/></annotations>";
        QTest::newRow("empty") << "";
        QTest::newRow("entity expansion") << "<!DOCTYPE p [<!ENTITY a \"aaaa\">]><pagesAnnotations><page>&a;</page></pagesAnnotations>";
    }

    void damagedProjectFormChangesNothing()
    {
        QFETCH(QString, xml);
        FlashPagesAnnotations annotations(2);
        annotations.setPageAnnotations(1, "<link/>");
        QString error;
        QVERIFY(!annotations.loadFromXml(xml, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(annotations.count(), 2);
        QCOMPARE(annotations.pageAnnotations(1), QStringLiteral("<link/>"));
    }
};

QV_TEST(FlashPagesAnnotationsTest)
#include "tst_flashpagesannotations.moc"
