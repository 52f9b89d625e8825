#include "furnishings/PluginBundle.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/HelperInstall.h"
#include "foundation/AuxArgumentString.h"
#include "foundation/NumberText.h"
#include "foundation/SafeFiles.h"
#include "foundation/XmlUtility.h"
#include "furnishings/NamedItems.h"

#include <QDir>
#include <QDomElement>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QSaveFile>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

namespace {

const QString kNone = QStringLiteral("none");
const QString kSettingsFile = QStringLiteral("settings.dat");

QString percent(double value)
{
    return QString::asprintf("%.1f%%", value);
}

} // namespace

bool PluginBundle::isBundleFolder(const QString &path)
{
    const QFileInfo info(path);
    // Its folders are its own: one that leads out of the bundle through a link would
    // hand another folder's files to the save folder and the books.
    const auto ownFolder = [&](const char *relative) {
        const QString folder = path + QLatin1String(relative);
        return QFileInfo(folder).isDir() && SafeFiles::liesInside(folder, path);
    };
    return info.suffix().toUpper() == QLatin1String("BUNDLE") && !info.isSymLink()
           && ownFolder("/Contents/Resources/data") && ownFolder("/Contents/Resources/html");
}

namespace {

void appendBundlesBelow(const QString &folder, QList<PluginBundle> &list)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    QStringList folders = AppUtility::subFolderOfFolder(folder);
    std::sort(folders.begin(), folders.end());
    for (const QString &path : std::as_const(folders)) {
        if (!PluginBundle::isBundleFolder(path))
            continue;
        PluginBundle bundle;
        bundle.loadBundleAtPath(path);
        list << bundle;
    }
}

// The bundle name a PlugIn element's movie path gives: the file's stem without its
// last character ("files/plugin/Clock1.swf" gives "Clock"); "" when nothing is left.
QString bundleNameOfMovie(const QString &movie)
{
    const QString stem = QFileInfo(movie.trimmed()).completeBaseName();
    return stem.size() < 2 ? QString() : stem.chopped(1);
}

QMutex g_editorInstall;

} // namespace

std::optional<PluginBundleSettings> PluginBundleSettings::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = QString::fromUtf8(file.read(64 * 1024));
    text.remove(QLatin1Char('\r'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() < 6)
        return std::nullopt;
    // A number beyond the range of a double holds no usable value: it reads as none.
    const auto number = [&](int line) {
        const double value = NumberText::doubleValue(lines.at(line));
        return std::isfinite(value) ? value : 0.0;
    };
    PluginBundleSettings s;
    s.left = number(0);
    s.top = number(1);
    s.right = number(2);
    s.bottom = number(3);
    s.opacity = number(4);
    s.container = NumberText::intValue(lines.at(5));
    return s;
}

QString PluginBundleSettings::text() const
{
    // Every number with the digits it needs to read back the same (0.15 stays 0.15),
    // and a decimal point as the settings editor writes them ("10.0").
    QStringList lines;
    for (const double v : {left, top, right, bottom, opacity}) {
        QString number = NumberText::shortest(std::isfinite(v) ? v : 0.0);
        if (!number.contains(QLatin1Char('.')) && !number.contains(QLatin1Char('e')))
            number += QStringLiteral(".0");
        lines << number;
    }
    lines << QString::number(container);
    return lines.join(QLatin1Char('\n'));
}

bool PluginBundleSettings::writeFile(const QString &path) const
{
    QSaveFile file(path);
    const QByteArray bytes = text().toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

void PluginBundle::loadBundleAtPath(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = info.absoluteFilePath();
    setItem(info.completeBaseName(), folder, folder + QStringLiteral("/Contents/Resources/data/shot.jpg"));
}

void PluginBundle::defaultSetting()
{
    const QString folder = AppResources::resourcePath(QStringLiteral("scenes"));
    setItem(kNone, folder, QDir(folder).filePath(QStringLiteral("none.png")));
}

bool PluginBundle::isNone() const
{
    return bgName().isEmpty() || bgName() == kNone;
}

QString PluginBundle::pluginSaveFolder()
{
    return AppUtility::userAppResourcePath(QStringLiteral("Plugin/Save"));
}

QString PluginBundle::saveFolder() const
{
    const QString name = bgName();
    if (isNone() || name.contains(QLatin1Char('/')) || name == QLatin1String("..") || name == QLatin1String("."))
        return {};
    return QDir(pluginSaveFolder()).filePath(name);
}

QString PluginBundle::movieFileName() const
{
    return bgName() + QStringLiteral("1.swf");
}

std::optional<PluginBundleSettings> PluginBundle::settings() const
{
    if (isNone())
        return std::nullopt;
    const QString saved = saveFolder().isEmpty() ? QString() : QDir(saveFolder()).filePath(kSettingsFile);
    if (!saved.isEmpty() && QFileInfo(saved).isFile())
        return PluginBundleSettings::readFile(saved);
    const QString defaults = bgPath() + QStringLiteral("/Contents/Resources/data/defaultsettings.dat");
    if (QFileInfo(defaults).isFile())
        return PluginBundleSettings::readFile(defaults);
    qInfo("setting data file not found!");
    return std::nullopt;
}

QString PluginBundle::pluginXMLElement() const
{
    const std::optional<PluginBundleSettings> s = settings();
    if (!s)
        return {};
    QString xml;
    QXmlStreamWriter w(&xml);
    w.writeStartElement(QStringLiteral("PlugIn"));
    w.writeAttribute(QStringLiteral("name"), xmlSafeText(bgName()));
    w.writeAttribute(QStringLiteral("alpha"), QString::asprintf("%.3f", s->opacity / 100.0));
    w.writeAttribute(QStringLiteral("marginTop"), percent(s->top));
    w.writeAttribute(QStringLiteral("marginLeft"), percent(s->left));
    w.writeAttribute(QStringLiteral("marginRight"), percent(s->right));
    w.writeAttribute(QStringLiteral("marginBottom"), percent(s->bottom));
    w.writeAttribute(QStringLiteral("viewport"), QStringLiteral("screen"));
    w.writeAttribute(QStringLiteral("containerType"),
                     s->isBehindBook() ? QStringLiteral("Background") : QStringLiteral("foreground"));
    w.writeAttribute(QStringLiteral("setPluginSzie"), QStringLiteral("true"));
    w.writeTextElement(QStringLiteral("Swf"), QStringLiteral("files/plugin/") + xmlSafeText(movieFileName()));
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
    if (!QDir().mkpath(folder) || !copyPlugin(save, folder, pluginSaveFolder()))
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

bool PluginBundle::saveSettings(const PluginBundleSettings &settings, QString *error) const
{
    const QString save = saveFolder();
    const QString html = bgPath() + QStringLiteral("/Contents/Resources/html");
    const QString movie = QDir(save).filePath(bgName() + QStringLiteral(".swf"));
    const QString played = QDir(save).filePath(movieFileName());
    bool ok = !save.isEmpty() && QDir().mkpath(save) && (!QFileInfo(html).isDir() || copyPlugin(html, save, bgPath()));
    if (ok && QFileInfo(movie).isFile()) {
        QFile::remove(played);
        ok = QFile::rename(movie, played);
    }
    ok = ok && settings.writeFile(QDir(save).filePath(kSettingsFile));
    if (!ok && error)
        *error = loadAppString("PluginBundle-The settings of the plug-in cannot be kept in \"%1\".",
                               "The settings of the plug-in cannot be kept in \"%1\".")
                     .arg(QDir::toNativeSeparators(save.isEmpty() ? pluginSaveFolder() : save));
    return ok;
}

bool PluginBundle::copyPlugin(const QString &source, const QString &target, const QString &home)
{
    if (!QFileInfo::exists(source))
        return false;
    return AppUtility::copyFromPath(source, target, false, home);
}

QString PluginBundle::restoreSettingsFromPluginXML(const QDomElement &element)
{
    const QDomElement movie = element.firstChildElement(QStringLiteral("Swf"));
    const QString name = movie.isNull() ? QString() : bundleNameOfMovie(movie.text());
    const QList<PluginBundle> list = collectPluginList();
    const int index = pluginIndexIn(list, name);
    if (index <= 0)
        return {};
    const auto number = [&](const char *attribute) {
        return NumberText::doubleValue(element.attribute(QLatin1String(attribute)));
    };
    PluginBundleSettings s;
    s.left = number("marginLeft");
    s.top = number("marginTop");
    s.right = number("marginRight");
    s.bottom = number("marginBottom");
    s.opacity = std::clamp(number("alpha") * 100.0, 0.0, 100.0);
    s.container = element.attribute(QStringLiteral("containerType")).toUpper() == QLatin1String("BACKGROUND") ? 1 : 0;
    // The save folder gets what the editor would have kept there, so a project opened
    // where the bundle was never edited still gives its books the movie.
    return list.at(index).saveSettings(s) ? name : QString();
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

QString PluginBundle::settingsEditorFolder()
{
    return AppUtility::userAppFolderForSubFolder(QStringLiteral("/Zendarrow/flipbook/PluginSettingsEditor"));
}

QString PluginBundle::settingsEditorPath()
{
    return settingsEditorFolder() + QStringLiteral("/PluginSettingsEditor.app/Contents/MacOS/PluginSettingsEditor");
}

bool PluginBundle::installSettingsEditor()
{
    QMutexLocker lock(&g_editorInstall);
    return HelperInstall::install(AppResources::resourcePath(QStringLiteral("PluginSettingsEditor")), settingsEditorFolder(),
                                  settingsEditorVersion(), settingsEditorPath())
           == HelperInstall::Result::Installed;
}

void PluginBundle::runSettingsEditor(QObject *context, EditorDone done) const
{
    const auto failed = [&](const QString &message) {
        QMetaObject::invokeMethod(
            context, [done, message] { done(-1, message); }, Qt::QueuedConnection);
    };
    const QString save = saveFolder();
    if (save.isEmpty() || !QDir().mkpath(save))
        return failed(loadAppString("PluginBundle-The settings of the plug-in cannot be kept in \"%1\".",
                                    "The settings of the plug-in cannot be kept in \"%1\".")
                          .arg(QDir::toNativeSeparators(save.isEmpty() ? pluginSaveFolder() : save)));
    const QString preview = QDir(save).filePath(QStringLiteral("book.swf"));
    const QString own = QDir(save).filePath(bgName() + QStringLiteral(".swf"));
    if (!QFileInfo::exists(preview) && QFileInfo(own).isFile())
        SafeFiles::copyFile(own, preview);

    installSettingsEditor();
    const QString editor = settingsEditorPath();
    if (!QFileInfo(editor).isExecutable())
        return failed(loadAppString("PluginBundle-The plug-in settings editor is not installed.",
                                    "The plug-in settings editor is not installed.")
                      + QLatin1Char('\n') + QDir::toNativeSeparators(editor));

    AuxArgumentString argument;
    argument.append(QStringLiteral("i"), bgPath());
    auto *process = new QProcess(context);
    // Whatever the editor prints goes nowhere: an unread pipe would fill and stop it.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUORVEL_RESOURCES"), AppResources::resourcePath());
    process->setProcessEnvironment(environment);
    QObject::connect(process, &QProcess::finished, context, [process, done](int exitCode, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status != QProcess::NormalExit)
            done(-1, loadAppString("PluginBundle-The plug-in settings editor stopped unexpectedly.",
                                   "The plug-in settings editor stopped unexpectedly."));
        else
            done(exitCode, QString());
    });
    QObject::connect(process, &QProcess::errorOccurred, context, [process, done](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return; // a crash ends with finished() as well
        process->deleteLater();
        done(-1, loadAppString("PluginBundle-The plug-in settings editor cannot be started.",
                               "The plug-in settings editor cannot be started.")
                     + QLatin1Char('\n') + process->errorString());
    });
    process->start(editor, {argument.toString(), QStringLiteral("-AppleLanguages"),
                            QStringLiteral("(%1)").arg(currentLanguageCode())});
}
