#pragma once
// A preloader: the small movie a book shows while its first pages load, with its
// preview picture. An installed preloader is a pair of files named after it, "<name>.swf"
// (extension in any letter case) and "<name>.png", in the program's
// "dataFiles/Preloaders" folder or the user's "dataFiles/Preloaders/" folder, at any
// depth. The name "Default" is the program's own default preloader.

#include <QList>
#include <QString>

class FlashTemlPreloaderItem
{
public:
    QString prlName() const { return m_prlName; }
    void setPrlName(const QString &name) { m_prlName = name; }
    QString prlFile() const { return m_prlFile; } // the movie
    void setPrlFile(const QString &path) { m_prlFile = path; }
    QString prlShot() const { return m_prlShot; } // the preview picture
    void setPrlShot(const QString &path) { m_prlShot = path; }

    // Appends the installed preloaders: the program's first, then the user's, then
    // those of extraFolder (when given); the first movie of a name reserves the name,
    // and only movies with a picture beside them are listed.
    static void collectPreloaders(const QString &extraFolder, QList<FlashTemlPreloaderItem> &list);
    static QList<FlashTemlPreloaderItem> installedPreloaders();
    // Index of the first item named name exactly ("Default" for an empty name); -1 when
    // there is none.
    static int indexOfPreloader(const QString &name, const QList<FlashTemlPreloaderItem> &list);

    // Points the item at "<name>.swf" and "<name>.png" in the program's folder; true
    // when both exist. The name stays as it was.
    bool loadPreloaderNamed(const QString &name);
    bool loadDefaultPreloader();

    // The program's folder of preloaders and the user's.
    static QString applicationFolder();
    static QString userFolder();
    // True for a preloader of the program's own resources.
    bool isApplicationPreloader() const;
    // True when a movie of the program's own preloaders has that name.
    static bool isApplicationPreloaderName(const QString &name);

private:
    QString m_prlName;
    QString m_prlFile;
    QString m_prlShot;
};
