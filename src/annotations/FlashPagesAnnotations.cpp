#include "annotations/FlashPagesAnnotations.h"

#include "foundation/InputLimits.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>

namespace {

const QString RootName = QStringLiteral("pagesAnnotations");
const QString PageName = QStringLiteral("page");

bool isWellFormedContent(const QString &xml)
{
    QXmlStreamReader reader(QStringLiteral("<page>") + xml + QStringLiteral("</page>"));
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::DTD)
            return false;
    }
    return !reader.hasError();
}

} // namespace

FlashPagesAnnotations::FlashPagesAnnotations(int pageCount)
{
    setPageCount(pageCount);
}

void FlashPagesAnnotations::setPageCount(int count)
{
    count = std::max(count, 0);
    while (m_pages.size() > count)
        m_pages.removeLast();
    while (m_pages.size() < count)
        m_pages.append(QString());
}

bool FlashPagesAnnotations::insertBlankPage(int index)
{
    if (index < 0 || index > count())
        return false;
    m_pages.insert(index, QString());
    return true;
}

bool FlashPagesAnnotations::removePage(int index)
{
    if (index < 0 || index >= count())
        return false;
    m_pages.removeAt(index);
    return true;
}

QString FlashPagesAnnotations::pageAnnotations(int index) const
{
    return index >= 0 && index < count() ? m_pages.at(index) : QString();
}

bool FlashPagesAnnotations::setPageAnnotations(int index, const QString &xml)
{
    if (index < 0 || index >= count() || !isWellFormedContent(xml))
        return false;
    m_pages[index] = xml;
    return true;
}

QString FlashPagesAnnotations::toXml() const
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<%1 version=\"1\">\n").arg(RootName);
    for (const QString &page : m_pages) {
        if (page.isEmpty())
            xml += QStringLiteral("<%1/>\n").arg(PageName);
        else
            xml += QStringLiteral("<%1>%2</%1>\n").arg(PageName, page);
    }
    xml += QStringLiteral("</%1>\n").arg(RootName);
    return xml;
}

bool FlashPagesAnnotations::loadFromXml(const QString &xml, QString *error)
{
    // Each page's content is taken from the text as written, so annotations come back
    // byte for byte, whatever they hold.
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    QStringList pages;
    bool inRoot = false;
    int depth = 0;
    qint64 pageStart = -1;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            reader.raiseError(QStringLiteral("document type declarations are not allowed"));
            break;
        }
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 1) {
                if (reader.name() != RootName) {
                    reader.raiseError(QStringLiteral("the root element is <%1>, not <%2>")
                                          .arg(reader.name().toString(), RootName));
                    break;
                }
                inRoot = true;
            } else if (depth == 2 && reader.name() == PageName) {
                pageStart = reader.characterOffset();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 2 && pageStart >= 0) {
                const qint64 end = xml.lastIndexOf(QStringLiteral("</"), reader.characterOffset() - 1);
                pages.append(end >= pageStart ? xml.mid(pageStart, end - pageStart) : QString());
                pageStart = -1;
            }
            --depth;
        }
    }
    if (!reader.hasError() && !inRoot)
        reader.raiseError(QStringLiteral("there is no <%1> element").arg(RootName));
    if (reader.hasError()) {
        if (error)
            *error = QStringLiteral("The annotations are damaged: %1 (line %2)")
                         .arg(reader.errorString())
                         .arg(reader.lineNumber());
        return false;
    }
    m_pages = pages;
    return true;
}

bool FlashPagesAnnotations::saveToFile(const QString &path) const
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(toXml().toUtf8()) >= 0 && file.commit();
}

bool FlashPagesAnnotations::loadFromFile(const QString &path, QString *error)
{
    QString why;
    const std::optional<QByteArray> data = InputLimits::readFile(path, InputLimits::kMaxXmlBytes, &why);
    if (!data) {
        if (error)
            *error = QStringLiteral("Cannot read %1: %2").arg(path, why);
        return false;
    }
    return loadFromXml(QString::fromUtf8(*data), error);
}
