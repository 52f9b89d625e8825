#pragma once
// The scene a book shows around its pages: picture layers behind the book and in front
// of it, whose files lie in the scene's folder. Every file below the folder goes into
// the book's "files/scenes/". A scene without a description file is no scene.

#include <QList>
#include <QString>

struct BookScene
{
    QString name;
    QString xmlFilePath; // the scene's description ("Meta.xml"); empty: no scene
    QString folder;      // the scene's files
    struct Layer
    {
        QString file;     // relative to the folder
        QString position; // "Top Left", "Top Right", "Bottom Left", "Bottom Right", "Scale to Fit"
        bool operator==(const Layer &other) const = default;
    };
    QList<Layer> background, foreground;

    bool isNone() const { return xmlFilePath.isEmpty() || folder.trimmed().isEmpty(); }
    bool operator==(const BookScene &other) const = default;
};
