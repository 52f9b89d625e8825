#pragma once
// The pictures the application icon maker assembles into a desktop application's
// ".icns" icon, one per size (1024, 512, 256, 128, 32, 16; 1024 is optional), and the
// folder where it keeps the pictures it makes itself.
//
//   AppIconWorkspace icons(createUniqueTempFolder());
//   icons.openIconFile(oldIcon);               // its pictures, by width
//   icons.setFile(512, "/pictures/logo.png");
//   icons.fillDown("/pictures/logo.png", 512); // 256, 128, 32 and 16 scaled from it
//   const QString icns = icons.makeIcon(&error);
//
// The pictures made here (the opened icon's pictures in "default.iconset", the scaled
// ones as "<size>.png") are PNG files in the workspace folder.

#include <QImage>
#include <QList>
#include <QString>
#include <QVariantMap>

class AppIconWorkspace
{
public:
    // The sizes of the icon maker's wells, largest first.
    static const QList<int> &wellSizes();
    // The widest picture of a picture or icon file; null when none can be read.
    static QImage largestPicture(const QString &path);

    explicit AppIconWorkspace(const QString &workspace);

    QString workspace() const { return m_workspace; }

    // The picture file of each size: key the size as decimal text, value the path.
    const QVariantMap &fileDict() const { return m_fileDict; }
    QString file(int size) const;
    void setFile(int size, const QString &path);
    void removeFile(int size);

    // Writes every picture of iconFile (any icon or picture file) as "<i>.png" into
    // "default.iconset" of the workspace and records each under its pixel width (a
    // later picture of the same width replaces an earlier one). Returns the widths
    // recorded; none when the file cannot be read.
    QList<int> openIconFile(const QString &iconFile);

    // Scales the picture of path down to every well size below fromSize, each from the
    // previous result, writes them as "<size>.png" and records them. Returns the sizes
    // filled: none when the picture cannot be loaded (nothing is written then).
    // The icon is then made of that picture only: a size above fromSize that still
    // holds a picture of the opened icon file loses it (the user's own pictures stay).
    QList<int> fillDown(const QString &path, int fromSize);

    // Writes "icon.icns" into a new temporary folder from the recorded pictures and
    // returns its path; empty (with error) when a required size is missing or a
    // picture cannot be used.
    QString makeIcon(QString *error = nullptr) const;

private:
    QString m_workspace;
    QVariantMap m_fileDict;
};
