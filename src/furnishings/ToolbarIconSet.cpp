#include "furnishings/ToolbarIconSet.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/InputLimits.h"
#include "foundation/XmlUtility.h"
#include "foundation/ZipExtractor.h"

#include <QDirIterator>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace ToolbarIconSet {

QString getResourcePath()
{
    return AppResources::resourcePath(QStringLiteral("dataFiles/resource"));
}

QList<QVariantMap> loadTableList(const QString &listFile)
{
    QList<QVariantMap> icons;
    const std::optional<QByteArray> data = InputLimits::readFile(
        listFile.isEmpty() ? getResourcePath() + QStringLiteral("/QuorvelIcons.txt") : listFile, InputLimits::kMaxTextBytes);
    QDomDocument document;
    if (!data || !parseXmlDocument(document, *data))
        return icons;
    for (QDomElement icon = document.documentElement().firstChildElement(); !icon.isNull();
         icon = icon.nextSiblingElement()) {
        QVariantMap entry;
        entry.insert(QStringLiteral("key"), icon.attribute(QStringLiteral("key")));
        for (QDomElement e = icon.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            entry.insert(e.tagName(), e.text());
        icons << entry;
    }
    return icons;
}

QStringList iconKeys()
{
    QStringList keys;
    for (const QVariantMap &icon : loadTableList())
        keys << icon.value(QStringLiteral("key")).toString().toLower();
    return keys;
}

QHash<QString, QString> loadOrgPicDict()
{
    QHash<QString, QString> pictures;
    QDirIterator it(getResourcePath() + QStringLiteral("/Icons"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        pictures.insert(info.completeBaseName().toLower(), info.filePath());
    }
    return pictures;
}

bool isPicture(const QString &path)
{
    return QFileInfo(path).isFile() && !QImageReader::imageFormat(path).isEmpty();
}

bool picturesInArchive(const QString &archive, const QString &folder, const QStringList &keys,
                       QHash<QString, QString> *pictures, QString *error)
{
    ZipExtractor extractor;
    if (!extractor.extractFile(archive, folder)) {
        if (error)
            *error = extractor.errorString();
        return false;
    }
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString key = info.completeBaseName().toLower();
        if (keys.contains(key) && !info.isSymLink() && isPicture(info.filePath()))
            pictures->insert(key, info.filePath());
    }
    return true;
}

QString problemWithIconArchive(const QString &path)
{
    if (path.isEmpty())
        return {};
    if (!QFileInfo(path).isFile())
        return loadAppString(QStringLiteral("ChangeIconFileD-The file does not exist."), QStringLiteral("The file does not exist."));
    if (!path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        return loadAppString(QStringLiteral("ChangeIconFileD-Toolbar icons come from an archive (*.zip) of pictures named by the buttons they replace."),
                             QStringLiteral("Toolbar icons come from an archive (*.zip) of pictures named by the buttons they replace."));
    const QString folder = createUniqueTempFolder();
    QHash<QString, QString> pictures;
    QString reason;
    const bool read = !folder.isEmpty() && picturesInArchive(path, folder, iconKeys(), &pictures, &reason);
    removeTree(folder);
    if (!read)
        return loadAppString(QStringLiteral("ChangeIconFileD-The archive cannot be used: %1"), QStringLiteral("The archive cannot be used: %1")).arg(reason);
    if (pictures.isEmpty())
        return loadAppString(QStringLiteral("ChangeIconFileD-The archive holds no picture named by a toolbar button."),
                             QStringLiteral("The archive holds no picture named by a toolbar button."));
    return {};
}

} // namespace ToolbarIconSet
