#include "furnishings/BookMarkTabs.h"

#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "foundation/InputLimits.h"
#include "foundation/NumberText.h"
#include "foundation/ScriptText.h"
#include "foundation/XmlUtility.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

const QString kTabs = QStringLiteral("Tabs");
const QString kTab = QStringLiteral("Tab");
const QString kAlpha = QStringLiteral("alpha");
const QString kTips = QStringLiteral("BookMarkTips");
const QString kShowHading = QStringLiteral("BookMarkShowhading");
const QString kTopOrSide = QStringLiteral("TopOrSide");
const QString kPageIndex = QStringLiteral("pageIndex");
const QString kColor = QStringLiteral("color");

QString boolText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

BookMarkTabItem BookMarkTabItem::tabItemWithCaption(const QString &caption, const QColor &color, qint64 page)
{
    BookMarkTabItem item;
    item.setCaption(caption);
    item.setColor(colorToHexRGB(color));
    item.setPageIndex(page);
    return item;
}

void BookMarkTabItem::addItem(QXmlStreamWriter &w, const BookMarkTabItem &item)
{
    w.writeStartElement(kTab);
    w.writeAttribute(kPageIndex, QString::number(int(item.pageIndex())));
    w.writeAttribute(kColor, xmlSafeText(item.color()));
    w.writeCDATA(xmlSafeText(item.caption())); // a "]]>" in it is split over two sections
    w.writeEndElement();
}

void BookMarkTabItem::parseTabsXML(const QDomElement &element, QList<BookMarkTabItem> &items)
{
    for (QDomElement e = element.firstChildElement(kTab); !e.isNull(); e = e.nextSiblingElement(kTab)) {
        BookMarkTabItem item;
        if (e.hasAttribute(kPageIndex))
            item.setPageIndex(NumberText::longLongValue(e.attribute(kPageIndex)));
        if (e.hasAttribute(kColor))
            item.setColor(e.attribute(kColor));
        item.setCaption(e.text());
        items.append(item);
    }
}

QString BookMarkTabItem::tabItemsToJSON(const QList<BookMarkTabItem> &items)
{
    QStringList objects;
    for (const BookMarkTabItem &item : items) {
        if (item.pageIndex() == 0 && item.caption().isEmpty())
            continue;
        // The colour comes from files the user may have been sent, so it is escaped
        // like the caption: a well-formed colour passes unchanged, anything else cannot
        // end the string and break the configuration script.
        QString color = item.color();
        color.replace(QLatin1String("0x"), QLatin1String("#"));
        objects << QStringLiteral("{\"caption\":\"%1\",\"pageIndex\":%2,\"color\": \"%3\"}")
                       .arg(escapeStringForJS(item.caption()), QString::number(qint32(item.pageIndex())),
                            escapeStringForJS(color));
    }
    return objects.join(QLatin1Char(','));
}

void BookMarkTabs::writeXml(QXmlStreamWriter &w) const
{
    w.writeStartElement(kTabs);
    w.writeAttribute(kAlpha, NumberText::fixed(m_alpha, 2));
    w.writeAttribute(kTips, boolText(m_tips));
    w.writeAttribute(kShowHading, boolText(m_showHading));
    if (!m_topOrSide.isEmpty())
        w.writeAttribute(kTopOrSide, xmlSafeText(m_topOrSide));
    for (const BookMarkTabItem &item : m_items)
        BookMarkTabItem::addItem(w, item);
    w.writeEndElement();
}

QString BookMarkTabs::tabsXMLString() const
{
    QString text;
    QXmlStreamWriter w(&text);
    writeXml(w);
    return text;
}

QDomElement BookMarkTabs::tabsXMLElement(QDomDocument &document) const
{
    QDomDocument parsed;
    if (!parseXmlDocument(parsed, tabsXMLString()))
        return document.createElement(kTabs);
    return document.importNode(parsed.documentElement(), true).toElement();
}

void BookMarkTabs::loadFromTabsXML(const QDomElement &element)
{
    m_items.clear();
    if (element.hasAttribute(kAlpha))
        m_alpha = NumberText::doubleValue(element.attribute(kAlpha));
    if (element.hasAttribute(kTopOrSide))
        m_topOrSide = element.attribute(kTopOrSide);
    if (element.hasAttribute(kTips))
        m_tips = NumberText::boolValue(element.attribute(kTips));
    if (element.hasAttribute(kShowHading))
        m_showHading = NumberText::boolValue(element.attribute(kShowHading));
    BookMarkTabItem::parseTabsXML(element, m_items);
}

bool BookMarkTabs::saveToFile(const QString &path) const
{
    QString text = tabsXMLString();
    if (text.isEmpty())
        text = QStringLiteral("<Tabs/>");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

bool BookMarkTabs::loadFromFile(const QString &path, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QString why;
    const std::optional<QByteArray> data = InputLimits::readFile(path, MaxFileSize, &why);
    if (!data)
        return fail(QFileInfo(path).size() > MaxFileSize
                        ? loadAppString(QStringLiteral("BookMarkTabs-The file is too large for a tab file."),
                                        QStringLiteral("The file is too large for a tab file."))
                        : why);
    QDomDocument document;
    XmlParseError parseError;
    if (!parseXmlDocument(document, QString::fromUtf8(*data), &parseError))
        return fail(loadAppString(QStringLiteral("BookMarkTabs-The file is not XML: %1 (line %2)."),
                                  QStringLiteral("The file is not XML: %1 (line %2)."))
                        .arg(parseError.message)
                        .arg(parseError.line));
    // Any other XML file would replace the tabs by none.
    if (document.documentElement().tagName() != kTabs)
        return fail(loadAppString(QStringLiteral("BookMarkTabs-The file holds no bookmark tabs (its root element is <%1>)."),
                                  QStringLiteral("The file holds no bookmark tabs (its root element is <%1>)."))
                        .arg(document.documentElement().tagName()));
    loadFromTabsXML(document.documentElement());
    return true;
}

QString BookMarkTabs::bookmarkTabsJS() const
{
    const bool side = m_topOrSide.toLower() == QLatin1String("side");
    return QStringLiteral("var bmtConfig = {tabs:[") + BookMarkTabItem::tabItemsToJSON(m_items)
           + QStringLiteral("],onSideEdge:%1,showPage:%2,hasTexture:%3};")
                 .arg(boolText(side), boolText(m_tips), boolText(m_showHading));
}
