#pragma once
// What the output engine asks of the furnishing models that have files of their own
// (plug-in bundles, preloaders, downloads, the viewer menu, toolbar icon archives).
// The engine calls the process-wide provider; until a furnishing's model installs a
// provider of its own, the default one answers "nothing", so books are written
// without that furnishing. Providers are called from the output job's worker thread.

#include <QJsonArray>
#include <QList>
#include <QMap>
#include <QString>
#include <memory>

// An installed preloader: its movie (copied as "book.swf") and its picture (shown by
// the viewer while pages load).
struct OutputPreloader
{
    QString movieFile;
    QString pictureFile;
};

// The files offered for download (see "Downloads" in docs/book-format.md); paths are
// files on disk, copied below files/download/, or web addresses.
struct OutputDownloads
{
    QString wholeFile;
    QStringList pageFiles; // one per page, "" for none
    QString pagePrefix;
    struct Attachment
    {
        QString name;
        QString file;
    };
    QList<Attachment> attachments;
    bool isEmpty() const { return wholeFile.isEmpty() && pageFiles.isEmpty() && attachments.isEmpty(); }
};

// The selected scene: its folder and picture layers (files relative to the folder).
struct OutputScene
{
    QString xmlFilePath; // the scene's description; empty: no scene
    QString folder;      // every file below it is copied into files/scenes/
    struct Layer
    {
        QString file;
        QString position; // "Top Left", "Top Right", "Bottom Left", "Bottom Right", "Scale to Fit"
    };
    QList<Layer> background, foreground;
};

class OutputFurnishings
{
public:
    virtual ~OutputFurnishings();

    // The provider in use, and the one to use from now on (null: the default).
    static std::shared_ptr<const OutputFurnishings> installed();
    static void setInstalled(std::shared_ptr<const OutputFurnishings> provider);

    // The PlugIn element (XML text) of the named plug-in bundle; "" for none.
    virtual QString pluginXml(const QString &bundleName) const;
    // Copies the bundle's files into folder; false when that failed.
    virtual bool outputPluginResources(const QString &bundleName, const QString &folder) const;
    // The installed preloader of that name; empty paths when there is none.
    virtual OutputPreloader preloader(const QString &name) const;
    // The downloads configured in a download workspace.
    virtual OutputDownloads downloads(const QString &workspace) const;
    // The viewer menu entries ({caption, type, value}) of a "menus" text.
    virtual QJsonArray menuItems(const QString &menusXml) const;
    // The replacement toolbar pictures of an icon archive, unpacked into workFolder:
    // button key -> picture file.
    virtual QMap<QString, QString> toolbarIcons(const QString &archive, const QString &workFolder) const;
};
