#pragma once
// A plug-in bundle: an overlay movie the book shows over or under its pages at a place
// set by margins, with an opacity. Installed bundles are folders "<name>.bundle" that
// hold "Contents/Resources/data" (with "shot.jpg" and "defaultsettings.dat") and
// "Contents/Resources/html" (the files a book receives, the movie "<name>.swf" among
// them), in the program's "dataFiles/Plugin/" folder or the user's "Plugin" folder.
// What a book receives of a bundle is kept in the bundle's save folder,
// "Plugin/Save/<name>" of the user's resources: "settings.dat", the movie
// "<name>1.swf" and whatever else the settings editor wrote there.
//
// The settings editor is the helper program "PluginSettingsEditor" (tools/
// pluginsettings), installed from the resource package of that name into the per-user
// folder "Zendarrow/flipbook/PluginSettingsEditor". It is started with the single
// argument "i=<bundle folder>" (escaped as every helper argument is), then
// "-AppleLanguages" and "(<language code>)"; it works on the bundle's save folder and
// exits with 1 when the user accepted the settings.
//
// The none bundle ("none") stands for no plug-in. Unlike a background's none item it
// has a folder (the program's "scenes"), so isNone() here goes by the name.

#include "furnishings/BackgroundItem.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class QDomElement;
class QObject;

// The six lines of "settings.dat" and "defaultsettings.dat": left, top, right and
// bottom margin in percent, opacity in percent (0 to 100), and the container (1
// behind the book, 0 in front of it). A file with fewer than six lines is unusable.
struct PluginBundleSettings
{
    double left = 0, top = 0, right = 0, bottom = 0;
    double opacity = 100;
    int container = 0;

    bool isBehindBook() const { return container != 0; }
    static std::optional<PluginBundleSettings> readFile(const QString &path);
    // Written atomically: a failed write leaves an older file as it was.
    bool writeFile(const QString &path) const;
    QString text() const;
    bool operator==(const PluginBundleSettings &) const = default;
};

class PluginBundle : public BackgroundItem
{
public:
    // Fills the item from a bundle folder.
    void loadBundleAtPath(const QString &path);
    // The none bundle: the choice of no plug-in.
    void defaultSetting();
    bool isNone() const;

    // The settings a book gets: the save folder's "settings.dat", else the bundle's
    // "defaultsettings.dat"; nothing when neither is usable.
    std::optional<PluginBundleSettings> settings() const;
    // The PlugIn element of the book configuration as XML text, made from settings();
    // "" when the item is the none bundle or it has no usable settings.
    QString pluginXMLElement() const;
    // Copies the save folder into folder (replaced), without hidden files and without
    // the editor's own files; false when the bundle has no save folder.
    bool outputResourcesToFolder(const QString &folder) const;
    // The bundle's save folder; "" for the none bundle.
    QString saveFolder() const;
    // The movie the book plays, as named in the PlugIn element ("<name>1.swf").
    QString movieFileName() const;

    // Keeps what the settings editor accepted in the save folder: the bundle's web
    // files ("Contents/Resources/html", its movie "<name>.swf" as movieFileName()) and
    // the settings. False with *error when the folder cannot take them.
    bool saveSettings(const PluginBundleSettings &settings, QString *error = nullptr) const;

    // Prepares the save folder and starts the settings editor on the bundle; returns at
    // once. done(status, error) follows once, on context's thread: the editor's exit
    // code after a normal exit (1: the user accepted the settings), or -1 with why when
    // it cannot be installed or started, or when it crashed. The editor's process
    // belongs to context.
    using EditorDone = std::function<void(int status, const QString &error)>;
    void runSettingsEditor(QObject *context, EditorDone done) const;

    // The installed bundles: the none bundle first, then the program's, the user's and
    // those below extraFolder (when it is a folder), each in a stable order.
    // True for a folder that holds a bundle.
    static bool isBundleFolder(const QString &path);
    static QList<PluginBundle> collectPluginList(const QString &extraFolder = QString());
    static QString pluginSaveFolder();
    static int pluginIndexIn(const QList<PluginBundle> &list, const QString &name);
    static QString pluginPathIn(const QList<PluginBundle> &list, const QString &name);
    // The installed bundle of that name; the none bundle when there is none.
    static PluginBundle bundleNamed(const QString &name);
    // Copies the contents of source into target without hidden files; false when
    // source does not exist, or does not lie in home (the folder it is named in when
    // empty) with its links followed. Links and files with more than one name inside
    // it stay out (AppUtility::copyFromPath).
    static bool copyPlugin(const QString &source, const QString &target, const QString &home = QString());
    // Writes the save folder's "settings.dat" of the bundle a project's PlugIn element
    // names (its Swf child, "files/plugin/<name>1.swf"), with the bundle's web files as
    // saveSettings() keeps them; returns the bundle's name, or "" when the element
    // names no installed bundle or the folder cannot take the files.
    static QString restoreSettingsFromPluginXML(const QDomElement &element);

    // The settings editor and where it is installed.
    static QString settingsEditorFolder();
    static QString settingsEditorPath();
    static QString settingsEditorVersion() { return QStringLiteral("1"); }
    // Installs the editor from the resource package when it is missing or older; true
    // when it was installed now.
    static bool installSettingsEditor();
};
