#include "furnishings/ui/GalleryWebViews.h"

#include "foundation/AppStrings.h"
#include "furnishings/BackgroundItem.h"
#include "furnishings/FlashScenesManagement.h"
#include "furnishings/ScenePackage.h"
#include "furnishings/SceneObject.h"

#include <QFileInfo>

namespace {

bool hasSuffix(const QString &file, const QStringList &suffixes)
{
    return suffixes.contains(QFileInfo(file).suffix().toLower());
}

QString wrongKind(const QString &file)
{
    return loadAppString("GalleryWebView-The downloaded file \"%1\" is not of a kind the gallery installs.",
                         "The downloaded file \"%1\" is not of a kind the gallery installs.")
        .arg(QFileInfo(file).fileName());
}

} // namespace

QStringList BGWebView::installedNames()
{
    QStringList names;
    for (const BackgroundItem &item : BackgroundItem::collectFlashBackgroundList())
        if (!item.isNone())
            names << item.bgName();
    return names;
}

bool BGWebView::installDownload(const QString &file, const QString &name, QString *error)
{
    if (!hasSuffix(file, {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png")})) {
        if (error)
            *error = wrongKind(file);
        return false;
    }
    // Installed under the name the page gives it, so the page finds it again.
    const QString target = SceneObject::isPlainFileName(name) ? name + QLatin1Char('.') + QFileInfo(file).suffix()
                                                              : QFileInfo(file).fileName();
    return !BackgroundItem::importBackground(file, target, error).isEmpty();
}

QString BGWebView::templateNameFor(const QString &name) const
{
    return BackgroundItem::getBackgroundTemplateNameFromName(name);
}

QStringList SCWebView::installedNames()
{
    FlashScenesManagement *manager = FlashScenesManagement::shareManager();
    manager->reloadData();
    QStringList names;
    for (int i = 1; i < manager->flashScenesList().size(); ++i)
        names << manager->flashScenesList().at(i).sceneName();
    return names;
}

bool SCWebView::installDownload(const QString &file, const QString &name, QString *error)
{
    if (!hasSuffix(file, {QStringLiteral("scp"), QStringLiteral("zip")})) {
        if (error)
            *error = wrongKind(file);
        return false;
    }
    const QString sceneName = FlashScenesItem::isValidSceneName(name) ? name : QFileInfo(file).completeBaseName();
    return !ScenePackage::installArchive(file, FlashScenesItem::userScenesFolder(), sceneName, error).isEmpty();
}

QString SCWebView::templateNameFor(const QString &name) const
{
    return BackgroundItem::getBackgroundTemplateNameFromName(name);
}
