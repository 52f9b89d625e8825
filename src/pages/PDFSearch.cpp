#include "pages/PDFSearch.h"

#include "foundation/AppStrings.h"
#include "foundation/XmlUtility.h"
#include "pages/PageError.h"

#include <QDomDocument>
#include <QXmlStreamWriter>

namespace {

const QString kPage = QStringLiteral("Page");

} // namespace

void PDFSearch::setPageText(int page, const QString &text)
{
    if (page < 1)
        return;
    while (m_texts.size() < page)
        m_texts.append(QString());
    m_texts[page - 1] = text;
}

void PDFSearch::insertBlankPage(int index)
{
    m_texts.insert(qBound(0, index, int(m_texts.size())), QString());
}

void PDFSearch::removePage(int index)
{
    if (index >= 0 && index < m_texts.size())
        m_texts.removeAt(index);
}

void PDFSearch::writeXml(QXmlStreamWriter &w, const QString &element) const
{
    w.writeStartElement(element);
    for (const QString &text : m_texts) {
        w.writeStartElement(kPage);
        if (!text.isEmpty())
            w.writeCDATA(xmlSafeText(text)); // a "]]>" in the text is split across two sections
        w.writeEndElement();
    }
    w.writeEndElement();
}

bool PDFSearch::readXml(const QDomElement &element, QString *error)
{
    if (element.isNull()) {
        if (error)
            *error = loadAppString(QStringLiteral("PageImport-The search data cannot be read."),
                                   QStringLiteral("The search data cannot be read."));
        return false;
    }
    QStringList texts;
    for (QDomElement e = element.firstChildElement(kPage); !e.isNull(); e = e.nextSiblingElement(kPage))
        texts << e.text();
    m_texts = texts;
    return true;
}

QString PDFSearch::toXmlString() const
{
    QString xml;
    QXmlStreamWriter writer(&xml);
    writeXml(writer);
    return xml;
}

bool PDFSearch::fromXmlString(const QString &xml, QString *error)
{
    QDomDocument doc;
    if (!parseXmlDocument(doc, xml)) {
        if (error)
            *error = loadAppString(QStringLiteral("PageImport-The search data cannot be read."),
                                   QStringLiteral("The search data cannot be read."));
        return false;
    }
    return readXml(doc.documentElement(), error);
}
