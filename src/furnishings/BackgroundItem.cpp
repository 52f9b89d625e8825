#include "furnishings/BackgroundItem.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "furnishings/NamedItems.h"
#include "furnishings/SceneObject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

namespace {

const QStringList kPictureFilters{QStringLiteral("*.png"), QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")};

void addPictures(const QString &folder, QList<BackgroundItem> &list)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QDir dir(folder);
    const QStringList names = dir.entryList(kPictureFilters, QDir::Files | QDir::Readable,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names)
        if (!QFileInfo(dir.filePath(name)).isSymLink())
            list << BackgroundItem::itemForPicture(dir.filePath(name));
}

} // namespace

BackgroundItem BackgroundItem::itemForPicture(const QString &path)
{
    BackgroundItem item;
    const QFileInfo info(path);
    item.m_bgName = info.completeBaseName();
    item.m_bgPath = info.absoluteFilePath();
    item.m_shotFilePath = item.m_bgPath;
    return item;
}

void BackgroundItem::defaultSetting()
{
    m_bgName = QStringLiteral("none");
    m_bgPath.clear();
    m_shotFilePath = AppResources::resourcePath(QStringLiteral("scenes/none.png"));
}

QList<BackgroundItem> BackgroundItem::collectFlashBackgroundList(const QString &extraFolder)
{
    BackgroundItem none;
    none.defaultSetting();
    QList<BackgroundItem> list{none};
    addPictures(AppResources::resourcePath(QStringLiteral("dataFiles/Background")), list);
    addPictures(userBackgroundFolder(), list);
    addPictures(extraFolder, list);
    return list;
}

int BackgroundItem::getBackgroundIndex(const QList<BackgroundItem> &list, const QString &name)
{
    return indexOfNamedItem(list, name);
}

QString BackgroundItem::getBackgroundPath(const QList<BackgroundItem> &list, const QString &name)
{
    const int index = getBackgroundIndex(list, name);
    return index < 0 ? QString() : list.at(index).shotFilePath();
}

QString BackgroundItem::getBackgroundTemplateNameFromName(const QString &name)
{
    if (name.isEmpty())
        return name;
    QString result = name.left(1).toUpper();
    for (int i = 1; i < name.size(); ++i)
        if (!name.at(i).isDigit())
            result += name.at(i);
    return result;
}

QString BackgroundItem::userBackgroundFolder()
{
    return AppUtility::userAppResourcePath(QStringLiteral("Background"));
}

QString BackgroundItem::importBackground(const QString &picture, QString *error)
{
    return importBackground(picture, QFileInfo(picture).fileName(), error);
}

QString BackgroundItem::importBackground(const QString &picture, const QString &fileName, QString *error)
{
    const auto failed = [&](const QString &message) {
        if (error)
            *error = message;
        return QString();
    };
    const QString name = fileName;
    QImageReader reader(picture);
    const QByteArray format = reader.format();
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (!SceneObject::isPlainFileName(name) || (format != "png" && format != "jpeg")
        || !(suffix == QLatin1String("png") || suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")))
        return failed(loadAppString("BackgroundItem-\"%1\" is not a PNG or JPEG picture.", "\"%1\" is not a PNG or JPEG picture.")
                          .arg(name));
    const QString folder = userBackgroundFolder();
    QDir().mkpath(folder);
    const QString target = QDir(folder).filePath(name);
    if (!SafeFiles::copyFile(picture, target))
        return failed(loadAppString("BackgroundItem-\"%1\" cannot be installed.", "\"%1\" cannot be installed.").arg(name));
    return target;
}
