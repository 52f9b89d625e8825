#include "furnishings/SceneObject.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "foundation/XmlUtility.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace {

const char *const kPositions[] = {"Top Left", "Top Right", "Bottom Left", "Bottom Right", "Scale to Fit"};

QString metaPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("Meta.xml"));
}

// The root element of folder's "Meta.xml"; null when it is missing, too large or not XML.
QDomElement readMeta(const QString &folder, bool *exists = nullptr)
{
    QFile file(metaPath(folder));
    if (exists)
        *exists = QFileInfo(file.fileName()).isFile();
    if (file.size() > SceneObject::kMaxMetaBytes || !file.open(QIODevice::ReadOnly))
        return {};
    QDomDocument document;
    if (!parseXmlDocument(document, QString::fromUtf8(file.readAll())))
        return {};
    return document.documentElement();
}

// The path of a layer's file in a "Resources" folder. Joined by hand: QDir::filePath()
// takes a name beginning with ':' for one of the program's own embedded files.
QString resourceFile(const QString &resources, const QString &name)
{
    return resources + QLatin1Char('/') + name;
}

QDomElement lastChild(const QDomElement &parent, const QString &name)
{
    return parent.isNull() ? QDomElement() : parent.lastChildElement(name);
}

QString canonical(const QString &path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : c;
}

} // namespace

QString SceneObject::positionValue(qint64 layoutIndex)
{
    return QString::fromLatin1(kPositions[layoutIndex >= 0 && layoutIndex <= 3 ? layoutIndex : 4]);
}

qint64 SceneObject::indexOfLayoutName(const QString &position)
{
    for (int i = 0; i < 4; ++i)
        if (position == QLatin1String(kPositions[i]))
            return i;
    return ScaleToFit;
}

QString SceneObject::layerName(qint64 layerIndex)
{
    return layerIndex == 1 ? loadAppString("SceneObject-Foreground", "Foreground")
                           : loadAppString("SceneObject-Background", "Background");
}

QString SceneObject::layoutName(qint64 layoutIndex)
{
    switch (layoutIndex) {
    case TopLeft:
        return loadAppString("SceneObject-Top Left", "Top Left");
    case TopRight:
        return loadAppString("SceneObject-Top Right", "Top Right");
    case BottomLeft:
        return loadAppString("SceneObject-Bottom Left", "Bottom Left");
    case BottomRight:
        return loadAppString("SceneObject-Bottom Right", "Bottom Right");
    default:
        return loadAppString("SceneObject-Scale to fix", "Scale to fix");
    }
}

bool SceneObject::isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.size() > 255)
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F
            || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('"'))
            return false;
    return true;
}

QDomElement SceneObject::xmlForsceneObjs(QDomDocument &document, const QList<SceneObject> &objects,
                                         const QString &title, const QString &desc)
{
    QDomElement meta = document.createElement(QStringLiteral("Meta"));
    QDomElement info = document.createElement(QStringLiteral("Info"));
    const auto text = [&](const QString &name, const QString &value) {
        QDomElement e = document.createElement(name);
        e.appendChild(document.createTextNode(xmlSafeText(value)));
        return e;
    };
    info.appendChild(text(QStringLiteral("Title"), title));
    info.appendChild(text(QStringLiteral("Desc"), desc));
    meta.appendChild(info);
    QDomElement background = document.createElement(QStringLiteral("Background"));
    QDomElement foreground = document.createElement(QStringLiteral("Foreground"));
    for (const SceneObject &object : objects) {
        QDomElement item = document.createElement(QStringLiteral("Item"));
        item.setAttribute(QStringLiteral("position"), positionValue(object.layoutIndex()));
        item.appendChild(text(QStringLiteral("URL"), QFileInfo(object.file()).fileName()));
        (object.isForeground() ? foreground : background).appendChild(item);
    }
    QDomElement ground = document.createElement(QStringLiteral("Ground"));
    if (background.hasChildNodes())
        ground.appendChild(background);
    if (foreground.hasChildNodes())
        ground.appendChild(foreground);
    QDomElement scenes = document.createElement(QStringLiteral("Scenes"));
    scenes.appendChild(ground);
    meta.appendChild(scenes);
    return meta;
}

bool SceneObject::saveSceneObjs(const QList<SceneObject> &objects, const QString &title, const QString &desc,
                                const QString &folder, QString *error)
{
    const auto failed = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!QDir().mkpath(folder))
        return failed(QStringLiteral("\"%1\" cannot be made.").arg(folder));
    QDomDocument document;
    document.appendChild(xmlForsceneObjs(document, objects, title, desc));
    if (!AppUtility::writeString(document.toString(-1), metaPath(folder)))
        return failed(QStringLiteral("\"%1\" cannot be written.").arg(metaPath(folder)));
    const QString resources = QDir(folder).filePath(QStringLiteral("Resources"));
    if (!QDir().mkpath(resources))
        return failed(QStringLiteral("\"%1\" cannot be made.").arg(resources));

    QStringList stale;
    QDirIterator it(resources, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        stale << it.next();
    bool ok = true;
    QSet<QString> targets;
    for (const SceneObject &object : objects) {
        const QString name = QFileInfo(object.file()).fileName();
        if (!isPlainFileName(name))
            continue;
        const QString target = resourceFile(resources, name);
        targets.insert(target);
        if (canonical(object.file()) == canonical(target))
            continue;
        QString message;
        if (!SafeFiles::copyFile(object.file(), target, &message)) {
            ok = false;
            if (error)
                *error = message;
        }
    }
    // Deepest entries first, so a folder is empty by the time its turn comes.
    std::sort(stale.begin(), stale.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &entry : std::as_const(stale)) {
        if (targets.contains(entry))
            continue;
        const QFileInfo info(entry);
        if (info.isDir() && !info.isSymLink())
            QDir(entry).removeRecursively();
        else if (info.exists() || info.isSymLink())
            QFile::remove(entry);
    }
    return ok;
}

std::optional<QList<SceneObject>> SceneObject::loadSceneObjsFromPath(const QString &folder)
{
    bool exists = false;
    const QDomElement root = readMeta(folder, &exists);
    if (!exists)
        return std::nullopt;
    QList<SceneObject> result;
    const QDomElement ground = lastChild(lastChild(root, QStringLiteral("Scenes")), QStringLiteral("Ground"));
    const QString resources = QDir(folder).filePath(QStringLiteral("Resources"));
    const auto read = [&](const QString &kind, qint64 layer) {
        const QDomElement list = lastChild(ground, kind);
        for (QDomElement item = list.firstChildElement(); !item.isNull(); item = item.nextSiblingElement()) {
            if (item.tagName() != QLatin1String("Item"))
                continue;
            const QDomElement url = item.lastChildElement(QStringLiteral("URL"));
            const QString name = url.text().trimmed();
            if (url.isNull() || !isPlainFileName(name))
                continue;
            const qint64 layout = item.hasAttribute(QStringLiteral("position"))
                                      ? indexOfLayoutName(item.attribute(QStringLiteral("position")))
                                      : qint64(ScaleToFit);
            result << SceneObject(resourceFile(resources, name), layer, layout);
        }
    };
    read(QStringLiteral("Background"), 0);
    read(QStringLiteral("Foreground"), 1);
    return result;
}

QString SceneObject::sceneTitleFromPath(const QString &folder)
{
    const QVariantMap info = xml2dict(lastChild(readMeta(folder), QStringLiteral("Info")));
    return info.contains(QStringLiteral("Title")) ? info.value(QStringLiteral("Title")).toString()
                                                  : QFileInfo(QDir::cleanPath(folder)).fileName();
}

QString SceneObject::sceneDescFromPath(const QString &folder)
{
    return xml2dict(lastChild(readMeta(folder), QStringLiteral("Info"))).value(QStringLiteral("Desc")).toString();
}
