#pragma once
// A plug-in bundle: an overlay movie the book shows over or under its pages at a place
// set by margins, with an opacity. Installed bundles are folders "<name>.bundle" that
// hold "Contents/Resources/data" (with "shot.jpg" and "defaultsettings.dat") and
// "Contents/Resources/html", in the program's "dataFiles/Plugin/" folder or the user's
// "Plugin" folder. What a book receives of a bundle is kept in the bundle's save folder,
// "Plugin/Save/<name>" of the user's resources: "settings.dat", the movie
// "<name>1.swf" and whatever else the settings editor wrote there.
//
// Settings file ("settings.dat", "defaultsettings.dat"): six lines of UTF-8 text —
// left, top, right and bottom margin in percent, opacity in percent (0 to 100), and the
// container (1 behind the book, 0 in front of it).

#include <QList>
#include <QString>

class PluginBundle
{
public:
    QString bgName() const { return m_bgName; } // the bundle's name; "none" for no bundle
    QString bgPath() const { return m_bgPath; } // the bundle folder
    QString shotFilePath() const { return m_shotFilePath; }

    // Fills the item from a bundle folder.
    void loadBundleAtPath(const QString &path);
    // The none bundle: the choice of no plug-in.
    void defaultSetting();
    bool isNone() const;

    // The PlugIn element of the book configuration as XML text, made from the save
    // folder's "settings.dat" (else the bundle's "defaultsettings.dat"); "" when the
    // item is the none bundle or neither file is usable.
    QString pluginXMLElement() const;
    // Copies the save folder into folder (replaced), without hidden files and without
    // the editor's own files; false when the bundle has no save folder.
    bool outputResourcesToFolder(const QString &folder) const;
    // The bundle's save folder.
    QString saveFolder() const;

    // The installed bundles: the none bundle first, then the program's, the user's and
    // those below extraFolder (when it is a folder), each in a stable order.
    static QList<PluginBundle> collectPluginList(const QString &extraFolder = QString());
    static QString pluginSaveFolder();
    static int pluginIndexIn(const QList<PluginBundle> &list, const QString &name);
    static QString pluginPathIn(const QList<PluginBundle> &list, const QString &name);
    // The installed bundle of that name; the none bundle when there is none.
    static PluginBundle bundleNamed(const QString &name);

private:
    QString m_bgName;
    QString m_bgPath;
    QString m_shotFilePath;
};
