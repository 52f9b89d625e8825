#include "furnishings/PluginBundle.h"

#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"
#include "foundation/XmlUtility.h"
#include "furnishings/NamedItems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>
#include <algorithm>
#include <optional>

namespace {

const QString kNone = QStringLiteral("none");

struct BundleSettings
{
    double left = 0, top = 0, right = 0, bottom = 0, opacity = 0;
    int container = 0;
};

std::optional<BundleSettings> readSettings(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = QString::fromUtf8(file.read(64 * 1024));
    text.remove(QLatin1Char('\r'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() < 6)
        return std::nullopt;
    BundleSettings s;
    s.left = lines.at(0).trimmed().toDouble();
    s.top = lines.at(1).trimmed().toDouble();
    s.right = lines.at(2).trimmed().toDouble();
    s.bottom = lines.at(3).trimmed().toDouble();
    s.opacity = lines.at(4).trimmed().toDouble();
    s.container = lines.at(5).trimmed().toInt();
    return s;
}

QString percent(double value)
{
    return QString::asprintf("%.1f%%", value);
}

bool isBundleFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.suffix().toUpper() == QLatin1String("BUNDLE") && !info.isSymLink()
           && QFileInfo(path + QStringLiteral("/Contents/Resources/data")).isDir()
           && QFileInfo(path + QStringLiteral("/Contents/Resources/html")).isDir();
}

void appendBundlesBelow(const QString &folder, QList<PluginBundle> &list)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    QStringList folders = AppUtility::subFolderOfFolder(folder);
    std::sort(folders.begin(), folders.end());
    for (const QString &path : std::as_const(folders)) {
        if (!isBundleFolder(path))
            continue;
        PluginBundle bundle;
        bundle.loadBundleAtPath(path);
        list << bundle;
    }
}

} // namespace

void PluginBundle::loadBundleAtPath(const QString &path)
{
    const QFileInfo info(path);
    m_bgName = info.completeBaseName();
    m_bgPath = info.absoluteFilePath();
    m_shotFilePath = m_bgPath + QStringLiteral("/Contents/Resources/data/shot.jpg");
}

void PluginBundle::defaultSetting()
{
    m_bgName = kNone;
    m_bgPath = AppResources::resourcePath(QStringLiteral("scenes"));
    m_shotFilePath = QDir(m_bgPath).filePath(QStringLiteral("none.png"));
}

bool PluginBundle::isNone() const
{
    return m_bgName.isEmpty() || m_bgName == kNone;
}

QString PluginBundle::pluginSaveFolder()
{
    return AppUtility::userAppResourcePath(QStringLiteral("Plugin/Save"));
}

QString PluginBundle::saveFolder() const
{
    if (isNone() || m_bgName.contains(QLatin1Char('/')) || m_bgName == QLatin1String(".."))
        return {};
    return QDir(pluginSaveFolder()).filePath(m_bgName);
}

QString PluginBundle::pluginXMLElement() const
{
    if (isNone())
        return {};
    QString file = QDir(saveFolder()).filePath(QStringLiteral("settings.dat"));
    if (saveFolder().isEmpty() || !QFileInfo(file).isFile())
        file = m_bgPath + QStringLiteral("/Contents/Resources/data/defaultsettings.dat");
    const std::optional<BundleSettings> s = readSettings(file);
    if (!s)
        return {};
    QString xml;
    QXmlStreamWriter w(&xml);
    w.writeStartElement(QStringLiteral("PlugIn"));
    w.writeAttribute(QStringLiteral("name"), xmlSafeText(m_bgName));
    w.writeAttribute(QStringLiteral("alpha"), QString::asprintf("%.3f", s->opacity / 100.0));
    w.writeAttribute(QStringLiteral("marginTop"), percent(s->top));
    w.writeAttribute(QStringLiteral("marginLeft"), percent(s->left));
    w.writeAttribute(QStringLiteral("marginRight"), percent(s->right));
    w.writeAttribute(QStringLiteral("marginBottom"), percent(s->bottom));
    w.writeAttribute(QStringLiteral("viewport"), QStringLiteral("screen"));
    w.writeAttribute(QStringLiteral("containerType"),
                     s->container != 0 ? QStringLiteral("Background") : QStringLiteral("foreground"));
    w.writeAttribute(QStringLiteral("setPluginSzie"), QStringLiteral("true"));
    w.writeTextElement(QStringLiteral("Swf"), QStringLiteral("files/plugin/%1").arg(xmlSafeText(m_bgName)) + QStringLiteral("1.swf"));
    w.writeEndElement();
    return xml;
}

bool PluginBundle::outputResourcesToFolder(const QString &folder) const
{
    const QString save = saveFolder();
    if (save.isEmpty() || !QFileInfo(save).isDir())
        return false;
    if (QFileInfo::exists(folder))
        removeTree(folder);
    if (!QDir().mkpath(folder) || !AppUtility::copyFromPath(save, folder, false))
        return false;
    for (const char *own : {"js", "index.html", "book.swf", "defaultsettings.dat", "settings.dat"}) {
        const QString path = QDir(folder).filePath(QLatin1String(own));
        if (QFileInfo(path).isDir())
            removeTree(path);
        else
            QFile::remove(path);
    }
    return true;
}

QList<PluginBundle> PluginBundle::collectPluginList(const QString &extraFolder)
{
    QList<PluginBundle> list;
    PluginBundle none;
    none.defaultSetting();
    list << none;
    appendBundlesBelow(AppResources::resourcePath(QStringLiteral("dataFiles/Plugin")), list);
    appendBundlesBelow(AppUtility::userAppResourcePath(QStringLiteral("Plugin")), list);
    appendBundlesBelow(extraFolder, list);
    return list;
}

int PluginBundle::pluginIndexIn(const QList<PluginBundle> &list, const QString &name)
{
    return indexOfNamedItem(list, name);
}

QString PluginBundle::pluginPathIn(const QList<PluginBundle> &list, const QString &name)
{
    const int index = pluginIndexIn(list, name);
    return index < 0 ? QString() : list.at(index).bgPath();
}

PluginBundle PluginBundle::bundleNamed(const QString &name)
{
    const QList<PluginBundle> list = collectPluginList();
    const int index = pluginIndexIn(list, name);
    return index > 0 ? list.at(index) : list.first();
}
