#pragma once
// One installed scene: a scene package folder (with "Meta.xml", "Resources/" and the
// preview "shot.jpg") below the program's "scenes/" resources, the user's "scenes"
// folder or another folder. The class operations find the installed scenes.
//
// The none scene stands for the choice of no scene: its folder is the program's
// "scenes/", it has no description, and its picture is "scenes/none.png".

#include "furnishings/BookScene.h"

#include <QList>
#include <QString>
#include <QStringList>

class FlashScenesItem
{
public:
    QString sceneName() const { return m_sceneName; } // the folder's own name
    QString sceneFilePath() const { return m_sceneFilePath; }
    // The "Resources" folder when an SWF file lies below it, else "".
    QString swfFilePath() const { return m_swfFilePath; }
    QString xmlFilePath() const { return m_xmlFilePath; }
    QString shotFilePath() const { return m_shotFilePath; }
    // The picture grid shows scenes by these, as it shows backgrounds.
    QString bgName() const { return m_sceneName; }

    // The item of a scene folder.
    static FlashScenesItem itemForFolder(const QString &folder);
    // Turns the item into the none scene named "none".
    void defaultSetting();
    bool isNone() const { return m_xmlFilePath.isEmpty(); }
    // True when the scene lies in the program's own resources.
    bool isApplicationScene() const;

    // The scene as a book carries it: its folder, description and layers (files
    // relative to the folder). The none scene gives an empty value.
    BookScene bookScene() const;

    // The installed scene folders: the program's, the user's, then those below
    // extraFolder; each group sorted by path, links never followed.
    static QStringList collectSceneFolders(const QString &extraFolder = QString());
    // One item per folder, after the none scene named "None".
    static QList<FlashScenesItem> sceneItemsFromFolders(const QStringList &folders);
    // The first item of that exact name; -1 when there is none.
    static int sceneIndexIn(const QList<FlashScenesItem> &items, const QString &name);
    // True when folder holds "Meta.xml" and a "Resources" folder.
    static bool isSceneFolder(const QString &folder);

    // The user's scenes folder ("scenes" of the user resources).
    static QString userScenesFolder();
    // True for a name a scene can be saved under as a folder of the user's scenes:
    // not empty, not "." or "..", no "/", "\" or control characters, and not "none"
    // in any letter case (the none scene's name).
    static bool isValidSceneName(const QString &name);

private:
    QString m_sceneName;
    QString m_sceneFilePath;
    QString m_swfFilePath;
    QString m_xmlFilePath;
    QString m_shotFilePath;
};
