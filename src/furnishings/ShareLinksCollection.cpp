#include "furnishings/ShareLinksCollection.h"

#include "foundation/AppUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

// The collection is a short list; a larger file is not one of ours.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

QList<ShareLinksItem> readCollection(const QString &path)
{
    QFile file(path);
    if (file.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF))) // the byte-order mark writeString puts first
        text.remove(0, 1);
    return ShareLinksItem::parseByXmlString(text);
}

} // namespace

namespace ShareLinksCollection {

QString collectionFile()
{
    return QDir(AppUtility::userAppExtraDataPath()).filePath(QStringLiteral(".shareLinks"));
}

QString defaultCollectionFile()
{
    return ShareLinksItem::shareLinsLogoInAppPath() + QStringLiteral("sharelinks.xml");
}

QList<ShareLinksItem> defaultCollection()
{
    return readCollection(defaultCollectionFile());
}

QList<ShareLinksItem> userCollection()
{
    const QString own = collectionFile();
    return QFileInfo(own).isFile() ? readCollection(own) : defaultCollection();
}

QList<ShareLinksItem> collectionForBook(const QString &bookXml)
{
    QList<ShareLinksItem> items = userCollection();
    QHash<QString, qsizetype> byLink;
    for (qsizetype i = 0; i < items.size(); ++i) {
        items[i].setIsSelected(false);
        byLink.insert(items.at(i).links(), i);
    }
    for (ShareLinksItem button : ShareLinksItem::parseByXmlString(bookXml)) {
        if (const auto found = byLink.constFind(button.links()); found != byLink.cend()) {
            items[*found].setIsSelected(true);
            continue;
        }
        button.setIsSelected(true);
        byLink.insert(button.links(), items.size());
        items << button;
    }
    return items;
}

bool saveCollection(const QList<ShareLinksItem> &items, QString *error)
{
    QString xml = ShareLinksItem::generateShareLinksToXml(items);
    if (xml.isEmpty())
        xml = QStringLiteral("<shareLinks/>"); // an emptied collection stays empty
    const QString path = collectionFile();
    if (AppUtility::writeString(xml + QLatin1Char('\n'), path))
        return true;
    if (error)
        *error = QStringLiteral("\"%1\" cannot be written.").arg(path);
    return false;
}

QString checkedLinksXml(const QList<ShareLinksItem> &items)
{
    QList<ShareLinksItem> checked;
    for (const ShareLinksItem &item : items)
        if (item.isSelected())
            checked << item;
    return ShareLinksItem::generateShareLinksToXml(checked);
}

} // namespace ShareLinksCollection
