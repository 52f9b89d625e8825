#include "furnishings/OtherIconItem.h"

#include "foundation/AppUtility.h"
#include "foundation/InputLimits.h"
#include "foundation/NumberText.h"
#include "foundation/XmlUtility.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

const QString kRoot = QStringLiteral("iconsList");
const QString kItem = QStringLiteral("item");

} // namespace

std::optional<QList<OtherIconItem>> OtherIconItem::iconListFromFile(const QString &path)
{
    const std::optional<QByteArray> data = InputLimits::readFile(path, InputLimits::kMaxXmlBytes);
    QDomDocument document;
    if (!data || !parseXmlDocument(document, *data))
        return std::nullopt;
    const QDomElement root = document.documentElement();
    if (root.tagName() != kRoot)
        return std::nullopt;
    QList<OtherIconItem> icons;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        OtherIconItem icon;
        if (e.tagName() == kItem) {
            icon.setCaption(e.attribute(QStringLiteral("caption")));
            icon.setFile(e.attribute(QStringLiteral("file")));
            icon.setType(NumberText::intValue(e.attribute(QStringLiteral("type"))));
            icon.setContent(e.attribute(QStringLiteral("content")));
            icon.setTarget(e.attribute(QStringLiteral("target")));
        }
        icons << icon;
    }
    return icons;
}

QString OtherIconItem::newIconListFolder()
{
    return createUniqueTempFolder();
}

QString OtherIconItem::saveIconList(const QList<OtherIconItem> &icons, const QString &path)
{
    QString target = path;
    QString folder;
    if (target.isEmpty() || !QFileInfo(target).isFile()) {
        folder = newIconListFolder();
        if (folder.isEmpty())
            return {};
        target = folder + QStringLiteral("/iconsList");
    }
    const QByteArray data = iconListText(icons);
    QSaveFile file(target);
    // Written means written: an older file at path is no sign of it.
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return target;
    if (!folder.isEmpty())
        removeTree(folder);
    return {};
}

QString OtherIconItem::fileForEditedList(const QList<OtherIconItem> &icons, const QString &inputFile,
                                         const QString &inputDigest)
{
    if (!inputFile.isEmpty() && QFileInfo(inputFile).isFile()
        && AppUtility::MD5StringOfData(iconListText(icons)) == inputDigest)
        return inputFile;
    return saveIconList(icons, QString());
}

QByteArray OtherIconItem::iconListText(const QList<OtherIconItem> &icons)
{
    QByteArray data;
    QXmlStreamWriter w(&data);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(kRoot);
    for (const OtherIconItem &icon : icons) {
        w.writeStartElement(kItem);
        w.writeAttribute(QStringLiteral("caption"), xmlSafeText(icon.caption()));
        w.writeAttribute(QStringLiteral("file"), xmlSafeText(icon.file()));
        w.writeAttribute(QStringLiteral("type"), QString::number(icon.type()));
        w.writeAttribute(QStringLiteral("content"), xmlSafeText(icon.content()));
        w.writeAttribute(QStringLiteral("target"), xmlSafeText(icon.target()));
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return data;
}

void OtherIconItem::writeOtherAnnos(QXmlStreamWriter &w, const QList<OtherIconItem> &icons)
{
    if (icons.isEmpty())
        return;
    w.writeStartElement(QStringLiteral("otherAnnos"));
    w.writeStartElement(QStringLiteral("toolbarLeftAnotations"));
    for (const OtherIconItem &icon : icons) {
        switch (icon.type()) {
        case GoToPage:
            w.writeStartElement(QStringLiteral("gotoPageAnno"));
            w.writeAttribute(QStringLiteral("caption"), xmlSafeText(icon.caption()));
            w.writeAttribute(QStringLiteral("icon"), xmlSafeText(icon.file()));
            w.writeAttribute(QStringLiteral("page"), QString::number(NumberText::intValue(icon.content())));
            w.writeEndElement();
            break;
        case OpenLink:
            w.writeStartElement(QStringLiteral("linkAnno"));
            w.writeAttribute(QStringLiteral("caption"), xmlSafeText(icon.caption()));
            w.writeAttribute(QStringLiteral("icon"), xmlSafeText(icon.file()));
            w.writeAttribute(QStringLiteral("url"), xmlSafeText(icon.content()));
            w.writeAttribute(QStringLiteral("target"), xmlSafeText(icon.target()));
            w.writeEndElement();
            break;
        case CallScript:
            w.writeStartElement(QStringLiteral("scriptAnno"));
            w.writeAttribute(QStringLiteral("caption"), xmlSafeText(icon.caption()));
            w.writeAttribute(QStringLiteral("icon"), xmlSafeText(icon.file()));
            w.writeCDATA(xmlSafeText(icon.content()));
            w.writeEndElement();
            break;
        default:
            break;
        }
    }
    w.writeEndElement();
    w.writeEndElement();
}

QString OtherIconItem::otherAnnosXMLForIcons(const QList<OtherIconItem> &icons)
{
    QString text;
    QXmlStreamWriter w(&text);
    writeOtherAnnos(w, icons);
    return text;
}
