#pragma once
// One layer of a scene: a file (an SWF movie or a picture) placed behind the book
// (layer 0) or in front of it (any other layer), in a corner of the book area or
// stretched over it. The class operations write and read a scene package's
// description "Meta.xml":
//
//   <Meta><Info><Title>..</Title><Desc>..</Desc></Info>
//         <Scenes><Ground><Background><Item position="Top Left"><URL>a.swf</URL></Item>...
//                         </Background><Foreground>...</Foreground></Ground></Scenes></Meta>
//
// written on one line as UTF-8 after a byte-order mark. A URL names a file of the
// package's "Resources" folder by its plain name: the reader ignores anything else, so
// a package can never name a file outside its folder.

#include <QDomElement>
#include <QList>
#include <QString>
#include <optional>

class SceneObject
{
public:
    enum Layout { TopLeft = 0, TopRight, BottomLeft, BottomRight, ScaleToFit };

    SceneObject() = default;
    SceneObject(const QString &file, qint64 layerIndex, qint64 layoutIndex)
        : m_file(file), m_layerIndex(layerIndex), m_layoutIndex(layoutIndex)
    {
    }

    QString file() const { return m_file; } // full path of the layer's file
    void setFile(const QString &file) { m_file = file; }
    qint64 layerIndex() const { return m_layerIndex; } // 0 background, else foreground
    void setLayerIndex(qint64 index) { m_layerIndex = index; }
    qint64 layoutIndex() const { return m_layoutIndex; }
    void setLayoutIndex(qint64 index) { m_layoutIndex = index; }
    bool isForeground() const { return m_layerIndex != 0; }
    bool operator==(const SceneObject &other) const = default;

    // "Top Left", "Top Right", "Bottom Left", "Bottom Right", "Scale to Fit" by index
    // (any other index: "Scale to Fit"), and back (anything else: 4).
    static QString positionValue(qint64 layoutIndex);
    static qint64 indexOfLayoutName(const QString &position);
    // The labels the scenes maker shows.
    static QString layerName(qint64 layerIndex);
    static QString layoutName(qint64 layoutIndex);

    // True for a name a package may use for a layer file: not empty, no folder part,
    // not "." or "..", no control characters, and none of the characters that no
    // portable file name has and that would end an attribute or start a tag in a page
    // (< > ").
    static bool isPlainFileName(const QString &name);

    static QDomElement xmlForsceneObjs(QDomDocument &document, const QList<SceneObject> &objects,
                                       const QString &title, const QString &desc);
    // Writes folder's "Meta.xml" and fills its "Resources" with the layers' files,
    // removing every other entry there. False with *error when a step failed; the
    // layers whose files were copied stay in place. A layer whose file already is
    // its target (under any spelling) is left as it is.
    static bool saveSceneObjs(const QList<SceneObject> &objects, const QString &title, const QString &desc,
                              const QString &folder, QString *error = nullptr);
    // The layers of folder's "Meta.xml" (background ones first, each file inside the
    // folder's "Resources"); nothing when the folder has no "Meta.xml", an empty list
    // when it cannot be read.
    static std::optional<QList<SceneObject>> loadSceneObjsFromPath(const QString &folder);
    static QString sceneTitleFromPath(const QString &folder);
    static QString sceneDescFromPath(const QString &folder);

    static constexpr qint64 kMaxMetaBytes = 1 << 20;

private:
    QString m_file;
    qint64 m_layerIndex = 0;
    qint64 m_layoutIndex = ScaleToFit;
};
