#include "furnishings/FlashScenesItem.h"

#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"
#include "furnishings/NamedItems.h"
#include "furnishings/SceneObject.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

namespace {

QString applicationScenesFolder()
{
    return AppResources::resourcePath(QStringLiteral("scenes"));
}

bool holdsSwf(const QString &folder)
{
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (QFileInfo(it.next()).suffix().compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void addScenesBelow(const QString &start, QStringList &list)
{
    if (start.isEmpty() || !QFileInfo(start).isDir())
        return;
    QStringList folders = AppUtility::subFolderOfFolder(start);
    std::sort(folders.begin(), folders.end());
    for (const QString &folder : std::as_const(folders))
        if (FlashScenesItem::isSceneFolder(folder))
            list << folder;
}

} // namespace

FlashScenesItem FlashScenesItem::itemForFolder(const QString &folder)
{
    FlashScenesItem item;
    const QDir dir(folder);
    item.m_sceneName = QFileInfo(QDir::cleanPath(folder)).fileName();
    item.m_sceneFilePath = QDir::cleanPath(folder);
    const QString resources = dir.filePath(QStringLiteral("Resources"));
    item.m_swfFilePath = holdsSwf(resources) ? resources : QString();
    item.m_xmlFilePath = dir.filePath(QStringLiteral("Meta.xml"));
    item.m_shotFilePath = dir.filePath(QStringLiteral("shot.jpg"));
    return item;
}

void FlashScenesItem::defaultSetting()
{
    m_sceneName = QStringLiteral("none");
    m_sceneFilePath = applicationScenesFolder();
    m_swfFilePath.clear();
    m_xmlFilePath.clear();
    m_shotFilePath = AppResources::resourcePath(QStringLiteral("scenes/none.png"));
}

bool FlashScenesItem::isApplicationScene() const
{
    const QString app = QDir::cleanPath(applicationScenesFolder());
    return m_sceneFilePath == app || m_sceneFilePath.startsWith(app + QLatin1Char('/'));
}

BookScene FlashScenesItem::bookScene() const
{
    BookScene scene;
    if (isNone())
        return scene;
    scene.name = m_sceneName;
    scene.folder = m_sceneFilePath;
    scene.xmlFilePath = m_xmlFilePath;
    const std::optional<QList<SceneObject>> layers = SceneObject::loadSceneObjsFromPath(m_sceneFilePath);
    for (const SceneObject &layer : layers.value_or(QList<SceneObject>())) {
        const BookScene::Layer entry{QStringLiteral("Resources/") + QFileInfo(layer.file()).fileName(),
                                     SceneObject::positionValue(layer.layoutIndex())};
        (layer.isForeground() ? scene.foreground : scene.background) << entry;
    }
    return scene;
}

QStringList FlashScenesItem::collectSceneFolders(const QString &extraFolder)
{
    QStringList list;
    addScenesBelow(applicationScenesFolder(), list);
    addScenesBelow(userScenesFolder(), list);
    if (!extraFolder.isEmpty())
        addScenesBelow(extraFolder, list);
    return list;
}

QList<FlashScenesItem> FlashScenesItem::sceneItemsFromFolders(const QStringList &folders)
{
    FlashScenesItem none;
    none.defaultSetting();
    none.m_sceneName = QStringLiteral("None");
    QList<FlashScenesItem> items{none};
    for (const QString &folder : folders)
        items << itemForFolder(folder);
    return items;
}

int FlashScenesItem::sceneIndexIn(const QList<FlashScenesItem> &items, const QString &name)
{
    return indexOfNamedItem(items, name);
}

bool FlashScenesItem::isSceneFolder(const QString &folder)
{
    const QDir dir(folder);
    return QFileInfo(dir.filePath(QStringLiteral("Meta.xml"))).isFile()
           && QFileInfo(dir.filePath(QStringLiteral("Resources"))).isDir();
}

QString FlashScenesItem::userScenesFolder()
{
    return AppUtility::userAppResourcePath(QStringLiteral("scenes"));
}

bool FlashScenesItem::isValidSceneName(const QString &name)
{
    return SceneObject::isPlainFileName(name) && name.trimmed() == name
           && name.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}
