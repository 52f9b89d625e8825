#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/ColorText.h"
#include "foundation/InputLimits.h"
#include "foundation/PageAnimation.h"
#include "foundation/ScriptText.h"
#include "foundation/TextTemplate.h"
#include "foundation/XmlUtility.h"

#include <QtTest>

class ScriptAndXmlTextTest : public QObject
{
    Q_OBJECT
private slots:
    void escapeStringForJS_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quote");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line breaks") << "a\r\nb\rc\nd" << "\"" << "a<br/>b<br/>c<br/>d";
        QTest::newRow("written breaks") << "a\\r\\nb\\nc\\rd" << "\"" << "a<br/>b<br/>c<br/>d";
        QTest::newRow("backslash") << "C:\\path" << "\"" << "C:\\\\path";
        QTest::newRow("quote") << "say \"hi\" it's" << "\"" << "say \\\"hi\\\" it's";
        QTest::newRow("single quote") << "say \"hi\" it's" << "'" << "say \"hi\" it\\'s";
        QTest::newRow("unicode") << "${Unicode}00e9" << "\"" << "\\u00e9";
        QTest::newRow("unicode marker without digits stays text") << "${Unicode}zz" << "\"" << "\\\\uzz";
        QTest::newRow("entities") << "&lt;b&gt; &amp;amp; &amp;" << "\"" << "<b> &amp; &";
        QTest::newRow("brackets") << "{a}[b]" << "\"" << "\\{a\\}\\[b\\]";
        QTest::newRow("script end") << "&lt;/script&gt;<b>x</b>" << "\"" << "<\\/script><b>x<\\/b>";
        QTest::newRow("decoded quote stays") << "&amp;quot;" << "\"" << "&quot;";
    }

    void escapeStringForJS()
    {
        QFETCH(QString, text);
        QFETCH(QString, quote);
        QFETCH(QString, expected);
        QCOMPARE(::escapeStringForJS(text, quote.at(0)), expected);
    }

    void cdataHoldsAnyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "a < b & c";
        QTest::newRow("terminator") << "x]]>y";
        QTest::newRow("several") << "]]>]]]>]]>>]]";
        QTest::newRow("ends with it") << "end]]>";
        QTest::newRow("empty") << "";
    }

    void cdataHoldsAnyText()
    {
        QFETCH(QString, text);
        QDomDocument doc;
        QDomElement root = doc.createElement("menus");
        doc.appendChild(root);
        root.appendChild(AppUtility::getCDATA(doc, text, "title"));
        QDomElement other = doc.createElement("value");
        other.appendChild(AppUtility::getCDataNode(doc, QVariant(text)));
        root.appendChild(other);

        QDomDocument parsed;
        const auto result = parsed.setContent(doc.toString());
        QVERIFY2(result, qPrintable(doc.toString()));
        QCOMPARE(parsed.documentElement().firstChildElement("title").text(), text);
        QCOMPARE(parsed.documentElement().firstChildElement("value").text(), text);
    }

    void xml2dictNests()
    {
        QDomDocument doc;
        QVERIFY(doc.setContent(QStringLiteral(
            "<Info><name>Sea</name><size><w>800</w><h>600</h></size><empty/><name2><![CDATA[a<b]]></name2></Info>")));
        const QVariantMap map = xml2dict(doc.documentElement());
        QCOMPARE(map.value("name").toString(), QString("Sea"));
        QCOMPARE(map.value("size").toMap(), (QVariantMap{{"w", "800"}, {"h", "600"}}));
        QCOMPARE(map.value("empty").toString(), QString(""));
        QCOMPARE(map.value("name2").toString(), QString("a<b"));
        QVERIFY(xml2dict(QDomElement()).isEmpty());
    }

    // Every reader of XML parses through parseXmlDocument: a text nested deeper than the
    // limit is refused there, before any reader sees it, saying where.
    void parserRefusesTooDeepNesting()
    {
        const auto nested = [](int levels) {
            return QByteArray("<a>").repeated(levels) + QByteArray("</a>").repeated(levels);
        };
        QDomDocument document;
        XmlParseError error;
        QVERIFY(parseXmlDocument(document, nested(InputLimits::kMaxXmlNesting), &error));
        QVERIFY(!parseXmlDocument(document, nested(InputLimits::kMaxXmlNesting + 1), &error));
        QVERIFY2(error.message.contains("nested deeper"), qPrintable(error.text()));
        QCOMPARE(error.column, 3 * (InputLimits::kMaxXmlNesting + 1));
        QVERIFY(!parseXmlDocument(document, QString::fromLatin1(nested(InputLimits::kMaxXmlNesting + 1)), &error));
        QVERIFY2(error.message.contains("nested deeper"), qPrintable(error.text()));
        // A prefix nobody declared (which the parser takes as part of a name) hides
        // nothing that follows it.
        QVERIFY(!parseXmlDocument(document, "<r x:y=\"1\">" + nested(InputLimits::kMaxXmlNesting) + "</r>", &error));
        QVERIFY2(error.message.contains("nested deeper"), qPrintable(error.text()));
        QVERIFY(parseXmlDocument(document, QByteArray("<r x:y=\"1\"><x:a/></r>"), &error));
    }

    void xmlSafeTextKeepsWhatXmlCanCarry()
    {
        // Tab, line ends, letters beyond the basic plane (as surrogate pairs) stay;
        // other control characters and U+FFFE, U+FFFF go, and the rest reads back.
        const QString kept = QStringLiteral("a\tb\r\nc ä 😀");
        const QString text = kept.left(3) + QChar(0x01) + QChar(0x1F) + kept.mid(3) + QChar(0xFFFE) + QChar(0xFFFF);
        QCOMPARE(xmlSafeText(text), kept);
        QDomDocument parsed;
        QVERIFY(parsed.setContent("<t>" + xmlSafeText(text).toHtmlEscaped() + "</t>"));
    }

    void textTemplateFillsOnce()
    {
        TextTemplate page("<img style=\"{{topLeftF.style}}\" src=\"{{topLeftF.src}}\">{{unset}} {{a}}{{a}} {{");
        page.setItem("topLeftF.style", "display:none");
        page.setItem("topLeftF.src", "file:///x/{{a}}.png"); // not filled again
        page.setItem("a", "A");
        QCOMPARE(page.parse(),
                 QString("<img style=\"display:none\" src=\"file:///x/{{a}}.png\">{{unset}} AA {{"));
    }

    void rangeOfMatchingBraces()
    {
        const QString text = "x = {a:{b:1}, c:\"\\}\"} tail {";
        TextRange r = PageAnimation::rangeOfString(text, '{', '}', 0, true);
        QCOMPARE(text.mid(r.location, r.length), QString("{a:{b:1}, c:\"\\}\"}"));
        r = PageAnimation::rangeOfString(text, '{', '}', 0, false); // the escaped brace closes early
        QCOMPARE(text.mid(r.location, r.length), QString("{a:{b:1}, c:\"\\}"));
        r = PageAnimation::rangeOfString(text, '{', '}', 5, true);
        QCOMPARE(text.mid(r.location, r.length), QString("{b:1}"));
        r = PageAnimation::rangeOfString(text, '{', '}', 22, true); // unclosed
        QCOMPARE(r.length, 0);
        QCOMPARE(PageAnimation::rangeOfString("no braces", '{', '}', 0, true).location, -1);
        r = PageAnimation::rangeOfString("say \"a \\\" b\" ok", '"', '"', 0, true);
        QCOMPARE(r.length, 8);
    }

    void elementFromObjectLiteral()
    {
        QDomDocument doc;
        const QDomElement e = PageAnimation::xmlElementFromJSString(
            doc, "{type:\"flip\", 'time' : 1.5, ease: 'out,in', nested:{a:[1,2]}, \"bad key\":1, list:[{x:1},2], last:x }",
            "animation");
        QCOMPARE(e.tagName(), QString("animation"));
        QStringList got;
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
            got << c.tagName() + "=" + c.text();
        QCOMPARE(got, (QStringList{"type=flip", "time=1.5", "ease=out,in", "nested={a:[1,2]}",
                                   "list=[{x:1},2]", "last=x"}));
    }

    void colourText()
    {
        QCOMPARE(colorToHexRGB(QColor(255, 128, 1)), QString("0xFF8001"));
        QCOMPARE(colorToHexRGB(QColor::fromRgbF(0.5f, 1.0f, 0.0f)), QString("0x80FF00"));
        QVERIFY(colorToHexRGB(QColor()).isNull());
        QCOMPARE(colorFromHexRGB("0xff8001"), QColor(255, 128, 1));
        QCOMPARE(colorFromHexRGB(" 1A2B3C"), QColor(0x1A, 0x2B, 0x3C));
        QCOMPARE(colorFromHexRGB("#FF0000"), QColor(0, 0, 0)); // not a hexadecimal number
        QCOMPARE(colorFromHexRGB(""), QColor(0, 0, 0));
        QCOMPARE(colorFromHexRGB("0x1FFFFFFFF"), QColor(255, 255, 255));
        // The written forms a setting accepts, and what it refuses.
        for (const char *text : {"0xa0b1c2", "#A0B1C2", " a0B1c2\n", "0XA0B1C2"})
            QCOMPARE(hexRGBDigits(text), std::optional<QString>("A0B1C2"));
        for (const char *text : {"", "red", "#abc", "0xA0B1C2FF", "0x A0B1C2", "##A0B1C2", "+A0B1C", "A0B1CG"})
            QCOMPARE(hexRGBDigits(text), std::nullopt);
        QCOMPARE(AppUtility::checkIntegerValueString("a1-2 b3٤"), QString("123"));
    }

    void typedColourValue()
    {
        // What a colour field keeps of typed text, and the colour it stands for.
        const auto typed = [](const QString &text) { return colorFromHexRGB(hexColorInputText(filterHexColorInput(text))); };
        QCOMPARE(filterHexColorInput("0XFF"), QString("0XFF"));
        QCOMPARE(typed("0XFF"), QColor(255, 0, 0));
        QCOMPARE(filterHexColorInput("12zz34"), QString("1234"));
        QCOMPARE(typed("12zz34"), QColor(0x12, 0x34, 0));
        QCOMPARE(filterHexColorInput("0x1234567"), QString("0x123456"));
        QCOMPARE(filterHexColorInput("1234567"), QString("123456"));
        QCOMPARE(filterHexColorInput("0xx1٣ü2"), QString("0x12")); // one x, only second; ASCII digits only
        QCOMPARE(typed(""), QColor(0, 0, 0));
    }
};

QV_TEST(ScriptAndXmlTextTest)
#include "tst_textxml.moc"
