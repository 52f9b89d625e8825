#pragma once
// One background picture of the background picker: the PNG and JPEG pictures of the
// program's "dataFiles/Background/" and of the user's "Background" folder. The first
// entry of a list is the none item, the choice of no background picture.

#include <QList>
#include <QString>

class BackgroundItem
{
public:
    QString bgName() const { return m_bgName; } // the file name without extension
    QString bgPath() const { return m_bgPath; }
    QString shotFilePath() const { return m_shotFilePath; } // the picture itself
    bool isNone() const { return m_bgPath.isEmpty(); }

    static BackgroundItem itemForPicture(const QString &path);
    // The none item named "none", shown with the program's "scenes/none.png".
    void defaultSetting();

    // The none item, then the program's pictures, the user's and those of
    // extraFolder, each group sorted by name.
    static QList<BackgroundItem> collectFlashBackgroundList(const QString &extraFolder = QString());
    // -1 when absent or the name is empty.
    static int getBackgroundIndex(const QList<BackgroundItem> &list, const QString &name);
    static QString getBackgroundPath(const QList<BackgroundItem> &list, const QString &name);
    // The name with its first letter in upper case and every later digit removed
    // ("wood12" gives "Wood"): the gallery's template name of a background.
    static QString getBackgroundTemplateNameFromName(const QString &name);

    static QString userBackgroundFolder();
    // Copies a picture (PNG or JPEG, checked by its content) into the user's
    // "Background" folder under its own file name (or fileName), replacing one of that
    // name only once the copy is complete. The installed path, or "" with *error.
    static QString importBackground(const QString &picture, QString *error = nullptr);
    static QString importBackground(const QString &picture, const QString &fileName, QString *error);

protected:
    // For the kinds of installed items listed like backgrounds (plug-in bundles).
    void setItem(const QString &name, const QString &path, const QString &shot)
    {
        m_bgName = name;
        m_bgPath = path;
        m_shotFilePath = shot;
    }

private:
    QString m_bgName;
    QString m_bgPath;
    QString m_shotFilePath;
};
