#include "output/web/BookXml.h"

#include "annotations/FlashPagesAnnotations.h"
#include "foundation/NumberText.h"
#include "foundation/XmlUtility.h"
#include "furnishings/BookMarkTabs.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

// Copies the elements of an XML text into the writer; nothing when the text is not
// well-formed.
void copyXml(QXmlStreamWriter &w, const QString &xml)
{
    QXmlStreamReader check(xml);
    while (!check.atEnd())
        check.readNext();
    if (check.hasError())
        return;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        switch (r.tokenType()) {
        case QXmlStreamReader::StartDocument:
        case QXmlStreamReader::EndDocument:
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::Invalid:
            break;
        default:
            w.writeCurrentToken(r);
        }
    }
}

} // namespace

QString bookXML(const BookXmlContent &content)
{
    QByteArray text; // written as bytes, so the declaration names the encoding
    QXmlStreamWriter w(&text);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("book"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
    w.writeAttribute(QStringLiteral("title"), xmlSafeText(content.title));
    w.writeAttribute(QStringLiteral("pageCount"), QString::number(content.pageCount));
    w.writeAttribute(QStringLiteral("pageWidth"), NumberText::shortest(content.pageWidth));
    w.writeAttribute(QStringLiteral("pageHeight"), NumberText::shortest(content.pageHeight));
    if (content.tabs && content.tabs->hasTabs())
        content.tabs->writeXml(w);
    OtherIconItem::writeOtherAnnos(w, content.icons);
    if (!content.pluginXml.trimmed().isEmpty()) {
        w.writeStartElement(QStringLiteral("PlugIns"));
        copyXml(w, content.pluginXml);
        w.writeEndElement();
    }
    if (content.annotations && content.annotations->count() > 0)
        copyXml(w, content.annotations->toXml());
    w.writeEndElement();
    w.writeEndDocument();
    return QString::fromUtf8(text);
}
